// Still images: into an album that is created, found, read-only, "me", or not named.

#include "tests/job/JobFixture.h"

#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;

namespace jobtest {
namespace {

class PhotoJob : public JobTest {
protected:
    const std::string photo = home.Write("media/booth.jpg", MediaBytes("\xFF\xD8\xFF\xE0\x00\x10JFIF", 5000));

    // Everything after the album lines of an upload that went through.
    std::vector<std::string> UploadedLines(const std::string& photoId) const
    {
        return {"Upload photo: " + photo,
                "Server returned: OK",
                "Photo upload successful, photo id: " + photoId,
                "Logging out of Facebook...",
                "Successfully logged out of Facebook",
                "Please press the 'Close' button to exit"};
    }
    std::vector<std::string> Expected(std::vector<std::string> albumLines, const std::string& photoId) const
    {
        std::vector<std::string> lines{"Logged in to Facebook", "User name: " + kUserName, ""};
        lines.insert(lines.end(), albumLines.begin(), albumLines.end());
        lines.push_back("");
        const std::vector<std::string> uploaded = UploadedLines(photoId);
        lines.insert(lines.end(), uploaded.begin(), uploaded.end());
        return lines;
    }
};

TEST_F(PhotoJob, NewAlbumIsCreatedWithTheDescriptionAndTakesThePhotoWithItsCaption)
{
    const JobResult result = RunJob({"-aBooth 2024", "-dOur wedding", "-bCheers!", "-f" + photo});

    const Json::Value created = OnlyRecord("album_create");
    const Json::Value upload = OnlyRecord("photo");
    const std::string albumId = created["details"]["albumId"].asString();
    const std::string photoId = upload["details"]["photoId"].asString();
    EXPECT_EQ(result.PlainLines(), Expected({"Album: Booth 2024", "Checking whether album already exists...",
                                             "Album does not exist, creating album...", "Album id: " + albumId},
                                            photoId));
    EXPECT_THAT(result.PlainTitles(), ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(create album)"),
                                                  Title("(upload photo)"), Title("(upload ok)")));
    ExpectProgressToTheEnd(result, "(upload photo) (");
    EXPECT_EQ(result.exitStatus, 0);

    EXPECT_EQ(created["details"]["name"], "Booth 2024");
    EXPECT_EQ(created["details"]["message"], "Our wedding");
    EXPECT_EQ(upload["path"], "/v2.12/" + albumId + "/photos");
    EXPECT_EQ(upload["details"]["caption"], "Cheers!");
    EXPECT_EQ(upload["details"]["size"], 5000);
    EXPECT_EQ(FileBytes(upload["details"]["file"].asString()), FileBytes(photo));
    const Json::Value logout = OnlyRecord("logout");
    EXPECT_EQ(logout["details"]["token"], kToken);
    EXPECT_EQ(logout["details"]["next"], "http://localhost/logout.html");
}

TEST_F(PhotoJob, ExistingAlbumIsFoundByItsTrimmedName)
{
    Service().AddAlbum("party", true, "554");
    Service().AddAlbum("Party", true, "555");
    const JobResult result = RunJob({"-a  Party \t", "-f" + photo});

    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(result.PlainLines(), Expected({"Album: Party", "Checking whether album already exists...",
                                             "Album already exists", "Album id: 555"},
                                            upload["details"]["photoId"].asString()));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(upload["path"], "/v2.12/555/photos");
    EXPECT_TRUE(upload["details"]["caption"].isNull());
    EXPECT_TRUE(Service().Received("album_create").empty());
}

TEST_F(PhotoJob, ReadOnlyAlbumFallsBackToTheUsersPhotos)
{
    Service().AddAlbum("Guestbook", false, "777");
    const JobResult result = RunJob({"-aGuestbook", "-bHello", "-f" + photo});

    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(result.PlainLines(),
              Expected({"Album: Guestbook", "Checking whether album already exists...", "Album already exists",
                        "Album is read only, upload to \"Kavlin2 Photos\" instead"},
                       upload["details"]["photoId"].asString()));
    EXPECT_EQ(result.PlainTitles().back(), Title("(upload ok)"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(upload["path"], "/v2.12/me/photos");
    EXPECT_EQ(upload["details"]["caption"], "Hello");
    EXPECT_TRUE(Service().Received("album_create").empty());
}

TEST_F(PhotoJob, AlbumMeGoesStraightToTheUsersPhotos)
{
    const JobResult result = RunJob({"-ame", "-f" + photo});

    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(result.PlainLines(), Expected({"Album: Kavlin2 Photos"}, upload["details"]["photoId"].asString()));
    EXPECT_THAT(result.PlainTitles(), ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(upload photo)"),
                                                  Title("(upload ok)")));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(upload["path"], "/v2.12/me/photos");
    ASSERT_EQ(upload["parts"].size(), 2u);
    EXPECT_EQ(upload["parts"][0]["name"], "access_token");
    EXPECT_EQ(upload["parts"][1]["name"], "ufile01");
    EXPECT_TRUE(Service().Received("albums_list").empty());
}

TEST_F(PhotoJob, PhotoNamedOutsideAsciiArrivesWholeUnderItsName)
{
    // "写真 café.jpg": characters a western ANSI code page lacks, and one it holds. Wine
    // reads the runner's arguments in the locale's charset.
    const std::string named =
        home.Write("media/\xE5\x86\x99\xE7\x9C\x9F caf\xC3\xA9.jpg", MediaBytes("\xFF\xD8\xFF", 3000));
    const JobResult result = StartJob({"-ame", "-f" + named}, kToken, {"LC_ALL=C.UTF-8"})->Finish(kJobTimeout);

    const Json::Value upload = OnlyRecord("photo");
    EXPECT_THAT(result.PlainLines(), Contains("Upload photo: " + named));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(upload["details"]["filename"], named);
    EXPECT_EQ(FileBytes(upload["details"]["file"].asString()), FileBytes(named));
}

TEST_F(PhotoJob, MissingAlbumNameUploadsToTheUsersPhotosWithoutAsking)
{
    const JobResult result = RunJob({"-a", "-dunused", "-f" + photo});

    const Json::Value upload = OnlyRecord("photo");
    EXPECT_EQ(result.PlainLines(), Expected({"Album name not supplied, upload to \"Kavlin2 Photos\" instead"},
                                            upload["details"]["photoId"].asString()));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(upload["path"], "/v2.12/me/photos");
    EXPECT_TRUE(Service().Received("albums_list,album_create").empty());
}

}  // namespace
}  // namespace jobtest
