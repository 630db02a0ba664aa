// The stand-in's reader of multipart bodies: the same body fed whole and in pieces
// gives the same parts.

#include "tests/fuzz/FuzzSupport.h"
#include "tools/standin/MultipartReader.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using standin::MultipartPart;
using standin::MultipartReader;

std::filesystem::path Discard(const MultipartPart&, std::size_t) { return "/dev/null"; }

bool SameParts(const std::vector<MultipartPart>& a, const std::vector<MultipartPart>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const MultipartPart& x = a[i];
        const MultipartPart& y = b[i];
        if (x.headerLines != y.headerLines || x.name != y.name || x.filename != y.filename ||
            x.hasFilename != y.hasFilename || x.contentType != y.contentType || x.size != y.size ||
            x.value != y.value || x.valueTruncated != y.valueTruncated || x.complete != y.complete)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string contentType = input.ConsumeRandomLengthString(100);
    std::string boundary = MultipartReader::BoundaryOf(contentType);
    if (boundary.empty())
        boundary = "b";
    const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 17);
    const std::string body = input.ConsumeRemainingBytesAsString();

    MultipartReader whole(boundary, Discard);
    whole.Feed(body);
    whole.Finish();

    MultipartReader pieces(boundary, Discard);
    for (std::size_t at = 0; at < body.size(); at += piece)
        pieces.Feed(std::string_view(body).substr(at, piece));
    pieces.Finish();

    FUZZ_CHECK(whole.Complete() == pieces.Complete());
    FUZZ_CHECK(whole.Error().empty() == pieces.Error().empty());
    FUZZ_CHECK(SameParts(whole.Parts(), pieces.Parts()));
    for (const MultipartPart& part : whole.Parts())
        FUZZ_CHECK(part.value.size() <= MultipartReader::kMaxFieldBytes && part.size <= body.size());
    return 0;
}
