// Finding the job's album by name, the read-only mark, and creating a missing album.

#include "social/AlbumResolution.h"
#include "SocialTestSupport.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

namespace {

constexpr const char* kListing = R"({"data":[
    {"id":"11","name":"Party","can_upload":true},
    {"id":"12","name":"party","can_upload":true},
    {"id":"21","name":"Booth","can_upload":true},
    {"id":"22","name":"Booth","can_upload":true},
    {"id":"31","name":"Profile Pictures","can_upload":false},
    {"id":"41","name":"Wall"},
    {"id":"51","name":"Counted","can_upload":1},
    {"id":"61","name":"Caf\u00e9","can_upload":true}],
  "paging":{"cursors":{"after":"X"},"next":"https://example.invalid/next"}})";

class AlbumResolution : public ServiceHostsTest {
protected:
    void List(const std::string& body) { Reply(graph, "/v2.12/me/albums", 200, "OK", body); }
    void Create(int status, const std::string& reason, const std::string& body)
    {
        // The creation posts to the same path; the listing is a GET with a query.
        Reply(graph, "/v2.12/me/albums?", 200, "OK", body_);
        Reply(graph, "/v2.12/me/albums", status, reason, body);
    }
    std::u16string Find(const std::u16string& name, const std::u16string& description = u"")
    {
        return social::FindOrCreateAlbum(job, name, description);
    }
    std::string body_;
};

}  // namespace

TEST_F(AlbumResolution, ListingFillsTheMapWithReadOnlyMarks)
{
    List(kListing);
    social::AlbumMap albums{{u"Old", u"1"}};
    const std::u16string listing = social::ListAlbums(job, albums);
    EXPECT_EQ(Utf16ToUtf8(listing), kListing);
    std::map<std::string, std::string> map;
    for (const auto& [name, id] : albums)
        map[Utf16ToUtf8(name)] = Utf16ToUtf8(id);
    EXPECT_THAT(map, UnorderedElementsAre(Pair("Old", "1"), Pair("Party", "11"), Pair("party", "12"),
                                          Pair("Booth", "22"), Pair("Profile Pictures", "31/0"), Pair("Wall", "41/0"),
                                          Pair("Counted", "51"), Pair("Caf\xC3\xA9", "61")));
    EXPECT_THAT(job.lines, IsEmpty());
    const auto request = OnlyRequest(graph);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/v2.12/me/albums?access%5Ftoken=TOKEN%2D1");
}

TEST_F(AlbumResolution, FoundAlbumsExactNameLastOneWinsReadOnlyMarked)
{
    List(kListing);
    EXPECT_EQ(Find(u"Party"), u"11");
    EXPECT_EQ(Find(u"Booth"), u"22");
    EXPECT_EQ(Find(u"Profile Pictures"), u"31/0");
    EXPECT_EQ(Find(u"Wall"), u"41/0");
    EXPECT_EQ(Find(u"Caf\u00E9"), u"61");
    EXPECT_EQ(graph.Requests().size(), 5u);
    for (const auto& request : graph.Requests())
        EXPECT_EQ(request.method, "GET");
    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back("Checking whether album already exists...");
        expected.push_back("Album already exists");
    }
    EXPECT_EQ(job.lines, expected);
    EXPECT_THAT(job.tags, IsEmpty());
}

TEST_F(AlbumResolution, MissingAlbumIsCreatedWithItsDescription)
{
    body_ = kListing;
    Create(200, "OK", R"({"id":"99"})");
    // Names compare case-sensitively: "PARTY" is not "Party".
    EXPECT_EQ(Find(u"PARTY", u"Booth night \u00E9"), u"99");
    EXPECT_THAT(job.lines,
                ElementsAre("Checking whether album already exists...", "Album does not exist, creating album..."));
    EXPECT_THAT(job.tags, ElementsAre("(create album)"));
    ASSERT_TRUE(graph.WaitForRequests(2));
    const auto create = graph.Requests()[1];
    EXPECT_EQ(create.method, "POST");
    EXPECT_EQ(create.target, "/v2.12/me/albums");
    EXPECT_EQ(create.Header("Content-Type").value_or(""), "application/x-www-form-urlencoded");
    EXPECT_EQ(create.body, "access%5Ftoken=TOKEN%2D1&message=Booth+night+%C3%A9&name=PARTY");
}

TEST_F(AlbumResolution, EmptyListingAndEmptyDescription)
{
    body_ = R"({"data":[]})";
    Create(200, "OK", R"({"id":"99"})");
    EXPECT_EQ(Find(u"New"), u"99");
    ASSERT_TRUE(graph.WaitForRequests(2));
    EXPECT_EQ(graph.Requests()[1].body, "access%5Ftoken=TOKEN%2D1&name=New");
    EXPECT_THAT(job.lines,
                ElementsAre("Checking whether album already exists...", "Album does not exist, creating album..."));
}

TEST_F(AlbumResolution, CreationFailures)
{
    body_ = R"({"data":[]})";
    Create(400, "Bad Request", R"({"error":{"message":"M"}})");
    EXPECT_EQ(Find(u"New"), u"");
    Create(400, "Bad Request", R"({"error":{"type":"OAuthException"}})");
    EXPECT_EQ(Find(u"New"), u"");
    Create(200, "OK", R"({"ok":true})");
    EXPECT_EQ(Find(u"New"), u"");
    Create(200, "OK", "not json");
    EXPECT_EQ(Find(u"New"), u"");
    const std::string check = "Checking whether album already exists...";
    const std::string create = "Album does not exist, creating album...";
    EXPECT_THAT(job.lines, ElementsAre(check, create, "Server returned: Bad Request", "ERROR: M",  //
                                       check, create, "Server returned: Bad Request", "Unknown error creating album",
                                       check, create, check, create));
}

TEST_F(AlbumResolution, CreationOfTheWrongShapeAbortsTheJob)
{
    body_ = R"({"data":[]})";
    Create(200, "OK", R"([1,2])");
    EXPECT_THROW(Find(u"New"), int);
    EXPECT_EQ(job.lines.back(), "Unexpected exception creating album");
}

TEST_F(AlbumResolution, ListingErrors)
{
    Reply(graph, "/v2.12/me/albums", 401, "Unauthorized", R"({"error":{"message":"Invalid token"}})");
    EXPECT_EQ(Find(u"Party"), u"");
    List(R"({"error":{"code":190}})");
    EXPECT_EQ(Find(u"Party"), u"");
    List("<html>");
    EXPECT_EQ(Find(u"Party"), u"");
    List(DeeplyNestedJson());
    EXPECT_EQ(Find(u"Party"), u"");
    List("");
    EXPECT_EQ(Find(u"Party"), u"");
    const std::string check = "Checking whether album already exists...";
    EXPECT_THAT(job.lines, ElementsAre(check, "Server returned: Unauthorized", "ERROR: Invalid token",
                                       "Error: Invalid token",                                         //
                                       check, "Unknown error listing albums", "Error: Unknown error",  //
                                       check, "Error parsing response from server",                    //
                                       check, "Error parsing response from server",                    //
                                       check, "Unknown error listing albums"));
    // Nothing was created.
    for (const auto& request : graph.Requests())
        EXPECT_EQ(request.method, "GET");
}

TEST_F(AlbumResolution, ListingOfTheWrongShapeAbortsTheJob)
{
    for (const char* body :
         {R"({"data":{"id":"1"}})", R"({"data":[{"id":"1","name":"A","can_upload":"yes"}]})", R"(["data"])"}) {
        List(body);
        EXPECT_THROW(Find(u"A"), int) << body;
        EXPECT_EQ(job.lines.back(), "Unexpected exception listing albums") << body;
    }
}
