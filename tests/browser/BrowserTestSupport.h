#pragma once
// What the browser tests share: one process-wide world (its own X server, the real
// stand-in service, a temporary home for settings and cookies, wx started), an event
// pump, a recording event sink, and a shown frame hosting a WebKitBrowser.

#include "browser/WebKitBrowser.h"
#include "login/EmbeddedBrowser.h"
#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace browsertest {

struct World {
    testsupport::StandinProcess* standin = nullptr;  // null in a child run
    std::filesystem::path home;
};
World& TheWorld();
testsupport::StandinProcess& Standin();

// "https://127.0.0.1:PORT" of a stand-in listener.
std::string BaseUrl(const std::string& listener);
std::u16string BaseUrlW(const std::string& listener);

// Runs GLib's and wx's events until done() holds; false when the time ran out first.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(30));
void PumpFor(std::chrono::milliseconds span);

class RecordingEvents : public BrowserEvents {
public:
    void OnBeforeNavigate(const std::u16string& address) override { before.push_back(address); }
    void OnNavigateComplete(const std::u16string& address) override { navigated.push_back(address); }
    void OnDocumentComplete(const std::u16string& address) override { completed.push_back(address); }
    bool OnNewWindow() override
    {
        ++newWindows;
        return cancelNewWindows;
    }
    bool OnWindowClosing() override
    {
        ++closings;
        return keepOpen;
    }

    bool Completed(const std::u16string& address) const;
    bool CompletedStartingWith(const std::u16string& prefix) const;

    std::vector<std::u16string> before, navigated, completed;
    int newWindows = 0;
    int closings = 0;
    bool cancelNewWindows = true;
    bool keepOpen = true;
};

// A frame with a browser filling it, shown; both gone (and pumped away) at the end.
class HostedBrowser : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Navigates and waits for a completed document whose address starts with the prefix.
    ::testing::AssertionResult Load(const std::u16string& address, const std::u16string& completedPrefix);
    // The script's result as text (wx's synchronous call).
    std::string Evaluate(const std::string& script);
    // Top-level windows besides the host frame.
    std::size_t OtherTopLevelWindows() const;

    wxWeakRef<wxFrame> frame;
    std::unique_ptr<WebKitBrowser> browser;
    RecordingEvents events;
};

}  // namespace browsertest
