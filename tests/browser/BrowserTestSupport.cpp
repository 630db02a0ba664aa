#include "tests/browser/BrowserTestSupport.h"

#include "platform/win32/Utf.h"

#include <glib.h>
#include <wx/app.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <thread>

namespace browsertest {

World& TheWorld()
{
    static World world;
    return world;
}

testsupport::StandinProcess& Standin()
{
    if (TheWorld().standin == nullptr)
        throw std::logic_error("no stand-in service in this run");
    return *TheWorld().standin;
}

std::string BaseUrl(const std::string& listener) { return "https://" + Standin().HostPort(listener); }

std::u16string BaseUrlW(const std::string& listener) { return Utf8ToUtf16(BaseUrl(listener)); }

namespace {

void PumpOnce()
{
    bool busy = false;
    while (g_main_context_iteration(nullptr, FALSE))
        busy = true;
    if (wxTheApp != nullptr) {
        wxTheApp->ProcessPendingEvents();
        busy = wxTheApp->ProcessIdle() || busy;
    }
    if (!busy)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        PumpOnce();
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    PumpUntil([end] { return std::chrono::steady_clock::now() >= end; }, span + std::chrono::seconds(1));
}

bool RecordingEvents::Completed(const std::u16string& address) const
{
    for (const std::u16string& done : completed) {
        if (done == address)
            return true;
    }
    return false;
}

bool RecordingEvents::CompletedStartingWith(const std::u16string& prefix) const
{
    for (const std::u16string& done : completed) {
        if (done.starts_with(prefix))
            return true;
    }
    return false;
}

void HostedBrowser::SetUp()
{
    if (TheWorld().standin != nullptr)
        Standin().AdminPost("/_admin/reset", Json::Value(Json::objectValue));
    auto* host = new wxFrame(nullptr, wxID_ANY, "browser test", wxPoint(0, 0), wxSize(800, 600));
    frame = host;
    browser = std::make_unique<WebKitBrowser>(host);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(browser->View(), 1, wxEXPAND);
    host->SetSizer(sizer);
    host->Show();
    browser->SetEventSink(&events);
}

void HostedBrowser::TearDown()
{
    browser.reset();
    for (wxWindow* window : wxTopLevelWindows)
        window->Destroy();
    EXPECT_TRUE(PumpUntil([] { return wxTopLevelWindows.empty(); }));
}

::testing::AssertionResult HostedBrowser::Load(const std::u16string& address, const std::u16string& completedPrefix)
{
    events.completed.clear();
    browser->Navigate(address);
    if (PumpUntil([&] { return events.CompletedStartingWith(completedPrefix); }))
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure()
                   << "no document starting with " << Utf16ToUtf8(completedPrefix) << "; completed:";
    for (const std::u16string& done : events.completed)
        failure << " " << Utf16ToUtf8(done);
    return failure;
}

std::string HostedBrowser::Evaluate(const std::string& script)
{
    wxString result;
    if (!browser->View()->RunScript(wxString::FromUTF8(script), &result))
        return "<script failed>";
    return result.utf8_string();
}

std::size_t HostedBrowser::OtherTopLevelWindows() const
{
    std::size_t count = 0;
    for (wxWindow* window : wxTopLevelWindows) {
        if (window != frame.get() && !window->IsBeingDeleted())
            ++count;
    }
    return count;
}

}  // namespace browsertest
