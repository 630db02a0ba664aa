// The form a person fills in: it opens with its title, and its checks refuse a file that
// is not there before anything is sent.

#include "tests/gui/GuiFixture.h"

#include <sstream>

namespace guitest {
namespace {

class InteractiveForm : public GuiTest {};

// The program's mapped windows: its form, and the message box once one is up.
std::vector<unsigned long> VisibleWindows(const XServer& server, ChildProcess& process)
{
    std::istringstream found(CommandOutput(
        {"xdotool", "search", "--onlyvisible", "--pid", std::to_string(process.Pid())}, server.Environment()));
    std::vector<unsigned long> windows;
    for (unsigned long window = 0; found >> window;)
        windows.push_back(window);
    return windows;
}

bool WaitForVisibleWindows(const XServer& server, ChildProcess& process, std::size_t count)
{
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (VisibleWindows(server, process).size() != count) {
        if (Clock::now() > deadline || !process.Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// Return goes to whichever window has the focus: the form's default button, Upload, or
// the message box's OK.
void PressReturn(const XServer& server, unsigned long window)
{
    CommandOutput({"xdotool", "windowfocus", "--sync", std::to_string(window), "key", "Return"}, server.Environment());
}

TEST_F(InteractiveForm, OpensWithItsTitleAndRefusesAMissingFile)
{
    auto run = Start({"-aParty", "-f" + home.Path() + "/missing.jpg"});
    ASSERT_NE(run->Window(), 0u);
    ASSERT_TRUE(run->Titles().WaitFor("Zendrik v2.4.4", std::chrono::seconds(30))) << Joined(run->Titles().Titles());
    ASSERT_TRUE(WaitForVisibleWindows(Server(), run->Process(), 1));

    PressReturn(Server(), run->Window());
    ASSERT_TRUE(WaitForVisibleWindows(Server(), run->Process(), 2)) << "no message box\n" << run->Stderr();
    EXPECT_TRUE(Records("album_create,photo,video").empty());

    for (const unsigned long window : VisibleWindows(Server(), run->Process())) {
        if (window != run->Window())
            PressReturn(Server(), window);
    }
    ASSERT_TRUE(WaitForVisibleWindows(Server(), run->Process(), 1)) << "the message box stays";
    EXPECT_EQ(run->Close(), 0) << run->Stderr();
}

}  // namespace
}  // namespace guitest
