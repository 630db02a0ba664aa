#include "platform/codepage/CodePage.h"

#include "platform/codepage/ByteCodecs.h"
#include "platform/codepage/Charset.h"
#include "platform/codepage/IconvCodec.h"
#include "platform/codepage/UnitSink.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <type_traits>

using codepage::Charset;
using codepage::CharsetKind;
using codepage::UnitSink;

namespace {

template <typename In>
bool AllAscii(std::basic_string_view<In> text)
{
    for (const In unit : text) {
        if (static_cast<std::make_unsigned_t<In>>(unit) >= 0x80)
            return false;
    }
    return true;
}

template <typename Out, typename In>
void CopyAscii(std::basic_string_view<In> text, UnitSink<Out>& sink)
{
    for (const In unit : text)
        sink.Put(static_cast<Out>(unit));
}

bool Encode(const Charset& charset, std::u16string_view text, std::string_view defaultChar, UnitSink<char>& sink)
{
    if (charset.asciiCompatible && AllAscii(text)) {
        CopyAscii(text, sink);
        return true;
    }
    switch (charset.kind) {
    case CharsetKind::Utf8: codepage::EncodeUtf8(text, sink); return true;
    case CharsetKind::Ascii:
    case CharsetKind::Latin1:
    case CharsetKind::Windows1252: codepage::EncodeSingleByte(charset.kind, text, defaultChar, sink); return true;
    case CharsetKind::Utf16LE: codepage::EncodeUtf16(false, text, sink); return true;
    case CharsetKind::Utf16BE: codepage::EncodeUtf16(true, text, sink); return true;
    case CharsetKind::Iconv: return codepage::IconvEncode(charset.iconvName, text, defaultChar, sink);
    }
    return false;
}

bool Decode(const Charset& charset, std::string_view bytes, UnitSink<char16_t>& sink)
{
    if (charset.asciiCompatible && AllAscii(bytes)) {
        CopyAscii(bytes, sink);
        return true;
    }
    switch (charset.kind) {
    case CharsetKind::Utf8: codepage::DecodeUtf8(bytes, sink); return true;
    case CharsetKind::Ascii:
    case CharsetKind::Latin1:
    case CharsetKind::Windows1252: codepage::DecodeSingleByte(charset.kind, bytes, sink); return true;
    case CharsetKind::Utf16LE: codepage::DecodeUtf16(false, bytes, sink); return true;
    case CharsetKind::Utf16BE: codepage::DecodeUtf16(true, bytes, sink); return true;
    case CharsetKind::Iconv: return codepage::IconvDecode(charset.iconvName, bytes, sink);
    }
    return false;
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

// The length the caller gets back: the units needed, or 0 with the last error set.
int Finish(std::size_t count, int outputSize)
{
    if (count > static_cast<std::size_t>(INT_MAX))
        return Fail(outputSize == 0 ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
    if (outputSize > 0 && count > static_cast<std::size_t>(outputSize))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    return static_cast<int>(count);
}

std::size_t WideLength(LPCWSTR text)
{
    std::size_t n = 0;
    while (text[n] != u'\0')
        ++n;
    return n;
}

}  // namespace

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wideText, int wideLength, LPSTR output, int outputSize,
                        LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    if (wideText == nullptr || wideLength == 0 || wideLength < -1 || outputSize < 0 ||
        (output == nullptr && outputSize > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    // The UTF pages can represent everything, so Windows refuses a default character for them.
    if ((codePage == CP_UTF8 || codePage == CP_UTF7) && (defaultChar != nullptr || usedDefaultChar != nullptr))
        return Fail(ERROR_INVALID_PARAMETER);
    Charset charset;
    if (!codepage::ResolveCharset(codePage, charset))
        return Fail(ERROR_INVALID_PARAMETER);

    const std::size_t length = wideLength == -1 ? WideLength(wideText) + 1 : static_cast<std::size_t>(wideLength);
    const std::string_view replacement =
        defaultChar != nullptr && *defaultChar != '\0' ? std::string_view(defaultChar) : std::string_view("?");
    UnitSink<char> sink(outputSize > 0 ? output : nullptr, static_cast<std::size_t>(outputSize));
    if (!Encode(charset, std::u16string_view(wideText, length), replacement, sink))
        return Fail(ERROR_INVALID_PARAMETER);
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = sink.Replaced() ? TRUE : FALSE;
    return Finish(sink.Count(), outputSize);
}

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR text, int length, LPWSTR output, int outputSize)
{
    if (text == nullptr || length == 0 || length < -1 || outputSize < 0 || (output == nullptr && outputSize > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    Charset charset;
    if (!codepage::ResolveCharset(codePage, charset))
        return Fail(ERROR_INVALID_PARAMETER);

    const std::size_t bytes = length == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    UnitSink<char16_t> sink(outputSize > 0 ? output : nullptr, static_cast<std::size_t>(outputSize));
    if (!Decode(charset, std::string_view(text, bytes), sink))
        return Fail(ERROR_INVALID_PARAMETER);
    return Finish(sink.Count(), outputSize);
}
