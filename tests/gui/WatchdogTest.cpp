// The one case that waits for the real watchdog: two minutes after the last change. A
// suite of its own, run alone and labelled slow, so a quick run can leave it out.

#include "tests/gui/GuiFixture.h"

namespace guitest {
namespace {

using Titles = std::vector<std::string>;

class UnattendedJob : public GuiTest {};

TEST_F(UnattendedJob, NoConnectionAndTheWatchdogEndsTheProgramTwoMinutesLater)
{
    Json::Value hosts;
    hosts["web"] = false;
    Service().AdminPost("/_admin/hosts", hosts);
    auto run = Start(Unattended({"-aParty", "-f" + MediaFile("shot.jpg", "\xFF\xD8", 1000)}));
    ASSERT_TRUE(run->Titles().WaitFor("(error: No internet connection)", std::chrono::seconds(30)))
        << Joined(run->Titles().Titles());
    const Clock::time_point shown = *run->Titles().SeenAt("(error: No internet connection)");
    const std::optional<int> status = run->Process().WaitForExit(std::chrono::seconds(200));
    ASSERT_TRUE(status.has_value()) << "the watchdog did not end the program";
    const double seconds = std::chrono::duration<double>(Clock::now() - shown).count();
    EXPECT_EQ(*status, 0);
    EXPECT_GE(seconds, 119.0);
    EXPECT_LE(seconds, 135.0);
    EXPECT_EQ(run->Titles().Titles(), Titles{"Orvane Systems Zendrik - (error: No internet connection)"});
}

}  // namespace
}  // namespace guitest
