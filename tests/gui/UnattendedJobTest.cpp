// One shot in unattended mode, end to end: the window's title sequence and what the
// service received, for each kind of job.

#include "tests/gui/GuiFixture.h"

#include <sstream>

namespace guitest {
namespace {

class UnattendedJob : public GuiTest {};

TEST_F(UnattendedJob, PhotoIntoANewAlbum)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    const std::string photo = MediaFile("shot.jpg", "\xFF\xD8\xFF\xE0", 20000);
    auto run = Start(Unattended({"-aParty", "-dOur party", "-bHello booth", "-f" + photo}));
    RunToUploadOk(*run, {"Orvane Systems Zendrik - (logging in)", "(logged in)", "(create album)", "(upload photo)",
                         "(upload ok)"});

    const Json::Value album = OnlyRecord("album_create");
    EXPECT_EQ(album["details"]["name"].asString(), "Party");
    EXPECT_EQ(album["details"]["message"].asString(), "Our party");
    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(upload["details"]["albumId"].asString(), album["details"]["albumId"].asString());
    EXPECT_EQ(upload["details"]["caption"].asString(), "Hello booth");
    EXPECT_EQ(upload["details"]["size"].asInt(), 20000);
    const Json::Value login = OnlyRecord("login");
    EXPECT_EQ(login["details"]["email"].asString(), "guest@example.com");
    EXPECT_EQ(login["details"]["outcome"].asString(), "ok");

    // Edge gestures off for the window at the start, on again at its end.
    const std::string window = std::to_string(run->Window());
    EXPECT_EQ(QuorellCalls(), window + " 1\n" + window + " 0\n");
}

TEST_F(UnattendedJob, PhotoIntoAnExistingAlbum)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    Json::Value album;
    album["name"] = "Party";
    album["id"] = "555000111";
    Service().AdminPost("/_admin/albums", album);
    const std::string photo = MediaFile("shot.jpg", "\xFF\xD8\xFF\xE0", 5000);
    auto run = Start(Unattended({"-aParty", "-bAgain", "-f" + photo}));
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload photo)", "(upload ok)"});

    EXPECT_TRUE(Records("album_create").empty());
    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(upload["details"]["albumId"].asString(), "555000111");
    EXPECT_EQ(upload["details"]["caption"].asString(), "Again");
}

TEST_F(UnattendedJob, Video)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    const std::string video = MediaFile("clip.MP4",
                                        "\x00\x00\x00\x18"
                                        "ftypmp42",
                                        30000);
    auto run = Start(Unattended({"-bOur clip", "-f" + video}));
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload video)", "(upload ok)"});

    const Json::Value upload = OnlyRecord("video");
    EXPECT_EQ(upload["host"].asString(), "video");
    EXPECT_EQ(upload["details"]["description"].asString(), "Our clip");
    EXPECT_EQ(upload["details"]["size"].asInt(), 30000);
    EXPECT_TRUE(Records("photo").empty());
}

TEST_F(UnattendedJob, GifPostedAsALink)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    const std::string gif = MediaFile("loop.gif", "GIF89a", 4000);
    auto run = Start(Unattended({"-bLook at us", "-f" + gif}));
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload ok)"});

    const Json::Value upload = OnlyRecord("gif_upload");
    const std::string gifId = upload["details"]["gifId"].asString();
    ASSERT_FALSE(gifId.empty());
    EXPECT_EQ(upload["details"]["size"].asInt(), 4000);
    const Json::Value post = OnlyRecord("post");
    EXPECT_NE(post["details"]["link"].asString().find("/media/" + gifId + "/giphy.gif"), std::string::npos)
        << post["details"]["link"].asString();
    EXPECT_EQ(post["details"]["message"].asString(), "Look at us");
    EXPECT_TRUE(Records("photo").empty());
}

TEST_F(UnattendedJob, LinkPost)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    auto run = Start(Unattended({"-Uhttps://example.com/party", "-bCome along"}));
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload ok)"});

    const Json::Value post = OnlyRecord("post");
    EXPECT_EQ(post["details"]["link"].asString(), "https://example.com/party");
    EXPECT_EQ(post["details"]["message"].asString(), "Come along");
}

TEST_F(UnattendedJob, TheWindowLeavesTheScreenOnceTheLoginHasFinished)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    auto run = Start(Unattended({"-Uhttps://example.com/party"}));
    ASSERT_TRUE(run->Titles().WaitFor("(upload ok)", kJobTimeout)) << Joined(run->Titles().Titles());
    const std::optional<WindowGeometry> geometry = GeometryOf(Server(), run->Window());
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 5000);
    EXPECT_EQ(geometry->width, 1920);
    EXPECT_EQ(geometry->height, 1080);
    EXPECT_EQ(run->Close(), 0);
}

TEST_F(UnattendedJob, OnlyTheBrowserBoxIsThereAndClicksBesideItGoThrough)
{
    Json::Value config;
    config["autosubmit"] = false;
    Service().AdminPost("/_admin/config", config);
    auto run = Start(Unattended({"-Uhttps://example.com/party"}));
    ASSERT_TRUE(WaitForRecords("login_form"));
    EXPECT_TRUE(run->Titles().WaitFor("(logging in)", std::chrono::seconds(10))) << Joined(run->Titles().Titles());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // The X server's own view of the window's shape: the centred 801 by 601 box.
    const std::string shape =
        CommandOutput({"xwininfo", "-shape", "-id", std::to_string(run->Window())}, Server().Environment());
    EXPECT_NE(shape.find("Window shape extents:  801x601+560+240"), std::string::npos) << shape;

    // Which window the pointer is over: the root beside the box, not inside it (without a
    // window manager xdotool names the program's window 0 there).
    auto windowUnderPointer = [&](int x, int y) {
        std::istringstream answer(CommandOutput(
            {"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "getmouselocation", "--shell"},
            Server().Environment()));
        for (std::string line; std::getline(answer, line);) {
            if (line.starts_with("WINDOW="))
                return std::stoul(line.substr(7));
        }
        return 0ul;
    };
    const std::string rootInfo = CommandOutput({"xwininfo", "-root"}, Server().Environment());
    const std::size_t idAt = rootInfo.find("Window id: ");
    ASSERT_NE(idAt, std::string::npos);
    const unsigned long root = std::stoul(rootInfo.substr(idAt + 11), nullptr, 16);
    EXPECT_EQ(windowUnderPointer(100, 100), root);
    EXPECT_EQ(windowUnderPointer(1400, 900), root);
    EXPECT_NE(windowUnderPointer(960, 540), root);
    EXPECT_NE(windowUnderPointer(561, 241), root);
    EXPECT_EQ(run->Close(), 0);
}

TEST_F(UnattendedJob, ALoginCancelledByThePageClosingItsWindow)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    Json::Value config;
    config["closeWindow"] = true;
    config["autosubmit"] = false;
    Service().AdminPost("/_admin/config", config);
    auto run = Start(Unattended({"-aParty", "-f" + MediaFile("shot.jpg", "\xFF\xD8", 1000)}));
    ASSERT_TRUE(run->Titles().WaitFor("(login failed)", kJobTimeout)) << Joined(run->Titles().Titles());
    EXPECT_TRUE(InOrder(run->Titles().Titles(), {"(logging in)", "(login failed)"}));
    const std::optional<WindowGeometry> geometry = GeometryOf(Server(), run->Window());
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->y, 5000);
    EXPECT_TRUE(Records("login").empty());
    EXPECT_TRUE(Records("photo").empty());
    EXPECT_EQ(run->Close(), 0);
}

TEST_F(UnattendedJob, AFailedAttempt)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    auto run = Start(Unattended({"-aParty", "-f" + MediaFile("shot.jpg", "\xFF\xD8", 1000)}, "wrong"));
    ASSERT_TRUE(run->Titles().WaitFor("(login failed)", kJobTimeout)) << Joined(run->Titles().Titles());
    EXPECT_TRUE(InOrder(run->Titles().Titles(), {"(logging in)", "(login failed)"}));
    EXPECT_EQ(OnlyRecord("login")["details"]["outcome"].asString(), "wrong_password");
    ASSERT_TRUE(WaitForRecords("login_form", 2)) << "the form again, with the failed attempt";
    const std::optional<WindowGeometry> geometry = GeometryOf(Server(), run->Window());
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->y, 5000);
    EXPECT_TRUE(Records("photo").empty());
    EXPECT_EQ(run->Close(), 0);
}

}  // namespace
}  // namespace guitest
