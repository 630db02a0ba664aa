// The client's byte forms of wide texts, the code-page converters under them, and the
// operations' reading of JSON strings.

#include "httpclient/HttpClientException.h"
#include "httpclient/HttpEncoder.h"
#include "platform/codepage/CodePage.h"
#include "platform/win32/WideCrt.h"
#include "social/JsonStringToWide.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

using Tavik::CHttpEncoderW;

constexpr UINT kCodePages[] = {CP_ACP, 20127, 28591, 1252,  1200,  1201,  437,     932,     936,
                               949,    950,   1251,  20866, 51932, 54936, CP_UTF7, CP_UTF8, 12345};

bool IsUtf16(UINT codePage) { return codePage == 1200 || codePage == 1201; }

// Each length function against exactly the room it asked for; ASan reports a unit
// written past it.
void CheckEncoders(const std::u16string& text, UINT codePage, bool utf8)
{
    const char16_t* szStr = text.c_str();
    try {
        const DWORD length = CHttpEncoderW::AnsiEncodeLen(szStr, codePage);
        std::vector<char> buffer(std::size_t{length} + 1, '#');
        CHttpEncoderW::AnsiEncode(buffer.data(), szStr, codePage);
        if (!IsUtf16(codePage))
            FUZZ_CHECK(std::strlen(buffer.data()) == length);
    } catch (const Tavik::httpclientexceptionW&) {
    }
    try {
        const DWORD length = CHttpEncoderW::Utf8EncodeLen(szStr);
        std::vector<char> buffer(std::size_t{length} + 1, '#');
        CHttpEncoderW::Utf8Encode(buffer.data(), szStr);
        FUZZ_CHECK(std::strlen(buffer.data()) == length);
    } catch (const Tavik::httpclientexceptionW&) {
    }
    try {
        const DWORD length = CHttpEncoderW::UrlEncodeLen(szStr, utf8, codePage);
        std::vector<char> narrow(std::size_t{length} + 1, '#');
        std::vector<char16_t> wide(std::size_t{length} + 1, u'#');
        CHttpEncoderW::UrlEncodeA(narrow.data(), szStr, utf8, codePage);
        CHttpEncoderW::UrlEncodeW(wide.data(), szStr, utf8, codePage);
        FUZZ_CHECK(std::strlen(narrow.data()) == length);
        FUZZ_CHECK(std::equal(narrow.begin(), narrow.end(), wide.begin()));
        // Whatever the code page, an ASCII letter or digit is never lost.
        for (const char16_t unit : text) {
            if (unit < 0x80 && std::isalnum(unit))
                FUZZ_CHECK(std::memchr(narrow.data(), unit, length) != nullptr);
        }
    } catch (const Tavik::httpclientexceptionW&) {
    }
}

void CheckConverters(const std::u16string& text, std::string_view bytes, UINT codePage)
{
    const int cb = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (cb > 0) {
        std::vector<char> out(static_cast<std::size_t>(cb));
        FUZZ_CHECK(WideCharToMultiByte(codePage, 0, text.c_str(), -1, out.data(), cb, nullptr, nullptr) == cb);
    }
    if (bytes.empty())
        return;
    const int length = static_cast<int>(bytes.size());
    const int cch = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (cch > 0) {
        std::vector<char16_t> out(static_cast<std::size_t>(cch));
        FUZZ_CHECK(MultiByteToWideChar(codePage, 0, bytes.data(), length, out.data(), cch) == cch);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const UINT codePage = input.PickValueInArray(kCodePages);
    const bool utf8 = input.ConsumeBool();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::u16string text = fuzz::PairsOf(bytes);

    CheckEncoders(text, codePage, utf8);
    CheckConverters(text, bytes, codePage);
    const std::u16string json = social::JsonStringToWide(Json::Value(bytes));
    FUZZ_CHECK(json.size() <= bytes.size());
    return 0;
}
