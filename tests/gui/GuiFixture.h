#pragma once
// What every window test shares: the suite's X server and stand-in service (the login
// form submits itself, as a guest would press its button), reset before each case; a
// home folder of the case's own (settings file, cookies folder, media files); and the
// program started with the stand-in's hosts, the recording edge-gesture library and
// the case's home.

#include "tests/gui/GuiHarness.h"
#include "tests/support/StandinProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace guitest {

inline constexpr std::chrono::seconds kJobTimeout{90};

class GuiTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;

    static const XServer& Server() { return *server_; }
    static const testsupport::StandinProcess& Service() { return *service_; }
    // A new service in place of the suite's, with nothing recorded, scripted or held back.
    static void RestartService();

    std::vector<std::string> Environment() const;
    // extraEnv replaces what Environment() says of the same names.
    std::unique_ptr<ProgramRun> Start(const std::vector<std::string>& arguments,
                                      const std::vector<std::string>& extraEnv = {}) const;
    // The box of the photo-booth host, e-mail and password, then the case's options.
    static std::vector<std::string> Unattended(const std::vector<std::string>& options,
                                               const std::string& password = "secret");

    // A media file in the case's folder: the prefix, then filler up to the size.
    std::string MediaFile(const std::string& name, const std::string& prefix, std::size_t size) const;
    std::filesystem::path SettingsFile() const;
    std::filesystem::path CookieFolder() const;
    std::string QuorellCalls() const;

    Json::Value Records(const std::string& kinds) const;
    Json::Value OnlyRecord(const std::string& kind) const;
    // Waits until the service has recorded `count` requests of the kind.
    bool WaitForRecords(const std::string& kind, int count = 1) const;

    // Runs the job to "(upload ok)" and the worker's logout, then closes the program.
    void RunToUploadOk(ProgramRun& run, const std::vector<std::string>& expectedTitles) const;

    testsupport::TempDir home;

private:
    static inline XServer* server_ = nullptr;
    static inline testsupport::StandinProcess* service_ = nullptr;
};

}  // namespace guitest
