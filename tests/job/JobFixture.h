#pragma once
// What every job test shares: one stand-in for the suite, reset before each case; a
// home folder of the case's own (settings file, cookies folder, media files); and the
// runner started with the stand-in's hosts and, unless the case says otherwise, a
// token the stand-in always accepts.

#include "tests/job/JobProcess.h"
#include "tests/support/StandinProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jobtest {

using testsupport::ParseJson;
using testsupport::StandinProcess;

inline const std::string kToken = "job-test-token";
inline const std::string kUserName = "Ann Example";
inline const std::string kUserId = "100004242424242";
inline constexpr std::chrono::seconds kJobTimeout{90};

// HOME, XDG_CONFIG_HOME and XDG_DATA_HOME inside a fresh temporary folder.
class TempHome {
public:
    TempHome();

    std::filesystem::path SettingsFile() const;
    std::filesystem::path CookieFolder() const;
    std::vector<std::string> Environment() const;
    // Writes the bytes to a file below the folder; returns its path.
    std::string Write(const std::string& relative, const std::string& bytes) const;

private:
    testsupport::TempDir dir_;
    std::filesystem::path root_;
};

// The bytes of a media file: a magic prefix, then non-repeating filler up to the size.
std::string MediaBytes(const std::string& prefix, std::size_t size);
std::string FileBytes(const std::string& path);

// The upload's progress on both channels: lines climbing from "Progress: 0%" to
// "Progress: 100%" without going down, and a title for each new percentage, made of
// the upload's tag prefix (e.g. "(upload photo) (") and the line.
void ExpectProgressToTheEnd(const JobResult& result, const std::string& tagPrefix);

// A case the Windows runner under Wine cannot take part in is skipped with the reason.
#define SKIP_FOR_THE_WINDOWS_RUNNER(reason)                                                                            \
    if (RunsTheWindowsRunner())                                                                                        \
    GTEST_SKIP() << "the Windows runner under Wine: " << reason

class JobTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;

    static const StandinProcess& Service() { return *service_; }
    // The listener's host and port as the runner is told them (by name for the Windows one).
    static std::string RunnerHostPort(const std::string& listener);
    // extraEnvironment: "NAME=value" entries added to the case's environment.
    std::unique_ptr<JobProcess> StartJob(const std::vector<std::string>& arguments,
                                         const std::optional<std::string>& token = kToken,
                                         const std::vector<std::string>& extraEnvironment = {}) const;
    JobResult RunJob(const std::vector<std::string>& arguments, const std::optional<std::string>& token = kToken) const;
    // The one record of the kind; fails the case unless there is exactly one.
    Json::Value OnlyRecord(const std::string& kind) const;

    TempHome home;

private:
    static inline std::unique_ptr<StandinProcess> service_;
};

}  // namespace jobtest
