#pragma once
// One main dialog per case, with the fake window, the real login browser logic on a
// recording browser, a clock the case moves, and a connection test it decides.

#include "tests/app/DialogTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace dialogtest {

class DialogFixture : public ::testing::Test {
protected:
    ~DialogFixture() override { connectionTestHeld = false; }

    void Start(const std::vector<std::u16string>& arguments)
    {
        dialog = std::make_unique<CZendrik2Dlg>(arguments, browser);
        window = std::make_unique<FakeDialogWindow>(*dialog);
        browser.Attach(web, messages);
        dialog->AttachWindow(window.get(), &browser);
        dialog->SetConnectionTest([state = connectionTest] {
            ++state->started;
            while (state->held)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const bool answer = state->connected.load();
            ++state->ended;
            return answer;
        });
        dialog->SetClock([this] { return now; });
        if (connectionTestEarly)
            dialog->StartConnectionTestEarly();
        dialog->OnInitDialog();
        if (!dialog->IsInteractive() && !connectionTestHeld)
            WaitForTheConnectionTest();
    }

    // The unattended start's test runs on a thread of its own; the window polls it.
    void WaitForTheConnectionTest()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (dialog->ContinueUnattended() == UnattendedStart::TestingConnection &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    static std::vector<std::u16string> UnattendedArguments()
    {
        return {u"-aParty", u"-x100", u"-y100", u"-w800", u"-h600", u"-uguest@example.com", u"-psecret"};
    }

    void WaitForTheConnectionTestToEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (connectionTestsEnded < connectionTests && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    // The timer's ticks, with the clock half a second further each time.
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            dialog->OnTimer();
            now += (i % 2);
        }
    }

    // Ticks until the worker has finished (and the dialog had its tick after that).
    void TickUntilTheWorkerEnds()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (dialog->IsWorkerBusy() && std::chrono::steady_clock::now() < deadline) {
            dialog->OnTimer();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_FALSE(dialog->IsWorkerBusy()) << "the worker did not finish";
        dialog->OnTimer();
    }

    bool ListHas(const std::u16string& line) const
    {
        for (const std::u16string& shown : window->list.lines) {
            if (shown == line)
                return true;
        }
        return false;
    }

    // Declared so that each goes after what still points at it.
    RecordingBrowser web;
    QueuedLoginMessages messages;
    CMyDHtmlDlg browser;
    std::unique_ptr<FakeDialogWindow> window;
    std::unique_ptr<CZendrik2Dlg> dialog;
    // The connection test runs on a thread of its own, which a closed dialog leaves
    // running: it holds what it shares with the case.
    struct ConnectionTestState {
        std::atomic<bool> connected{true};
        std::atomic<int> started{0};
        std::atomic<int> ended{0};
        // Keeps the test waiting, as on a stalled server, until the case lets it go.
        std::atomic<bool> held{false};
    };
    std::shared_ptr<ConnectionTestState> connectionTest = std::make_shared<ConnectionTestState>();
    std::atomic<bool>& connected = connectionTest->connected;
    std::atomic<int>& connectionTests = connectionTest->started;
    std::atomic<int>& connectionTestsEnded = connectionTest->ended;
    std::atomic<bool>& connectionTestHeld = connectionTest->held;
    bool connectionTestEarly = false;
    std::int64_t now = 1'700'000'000;
};

}  // namespace dialogtest
