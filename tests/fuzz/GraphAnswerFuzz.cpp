// Answers of the Graph API and the GIF service as the operations judge them: the album
// listing, the ids and names, the error reports and the GIF's address.

#include "social/AlbumResolution.h"
#include "social/GifUpload.h"
#include "social/GraphOutcome.h"
#include "social/ResponseReading.h"
#include "social/ServiceEndpoints.h"
#include "tests/fuzz/FuzzSupport.h"

#include <json/value.h>

namespace {

class SilentJob : public social::JobContext {
public:
    void AppendLog(const std::u16string& line) override { lines += line.size() + 1; }
    void SetStatusTag(const std::u16string&) override {}
    bool IsCancelRequested() override { return false; }
    const std::u16string& AccessToken() const override { return token_; }

    std::size_t lines = 0;

private:
    std::u16string token_ = u"TOKEN";
};

// What the operations do with the JSON library's exception for a body of an unexpected
// shape: their exception styles report it. Anything else escaping is a finding.
template <typename Evaluation>
void Evaluate(Evaluation&& evaluation)
{
    try {
        evaluation();
    } catch (const Json::Exception&) {
    }
}

void EvaluateOutcomes(const Json::Value& root)
{
    static constexpr social::GraphOutcomeRule kRules[] = {
        {"id", u"Unknown error getting user id", u"ERROR: Null user id returned"},
        {"name", u"Unknown error getting user name", u"ERROR: Empty user name returned"},
        {"id", u"Unknown error creating album"},
    };
    for (const social::GraphOutcomeRule& rule : kRules) {
        SilentJob job;
        Evaluate([&] { social::EvaluateGraphOutcome(job, root, rule); });
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string body(fuzz::BytesOf(data, size));
    Json::Value root;
    if (social::ParseResponseBody(body, root))
        EvaluateOutcomes(root);

    SilentJob job;
    social::AlbumMap albums;
    Evaluate([&] { social::AddAlbumsFromListing(job, body, albums); });
    for (const auto& [name, id] : albums)
        FUZZ_CHECK(name.size() <= body.size() && id.size() <= body.size() + 2);

    const std::u16string gif = social::GifAddressFrom(body);
    if (!gif.empty())
        FUZZ_CHECK(gif.starts_with(GifMediaBase()) && gif.ends_with(u"/giphy.gif"));
    return 0;
}
