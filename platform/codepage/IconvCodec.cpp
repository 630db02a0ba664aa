#include "platform/codepage/IconvCodec.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace codepage {

namespace {

constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kMaxCached = 16;

class ConverterCache {
public:
    ConverterCache() = default;
    ConverterCache(const ConverterCache&) = delete;
    ConverterCache& operator=(const ConverterCache&) = delete;
    ~ConverterCache()
    {
        for (Entry& entry : m_entries)
            iconv_close(entry.converter);
    }

    // A converter in its initial shift state, or kNoConverter.
    iconv_t Get(const char* to, const char* from)
    {
        for (Entry& entry : m_entries) {
            if (entry.to == to && entry.from == from) {
                iconv(entry.converter, nullptr, nullptr, nullptr, nullptr);
                return entry.converter;
            }
        }
        const iconv_t converter = iconv_open(to, from);
        if (converter == kNoConverter)
            return kNoConverter;
        if (m_entries.size() == kMaxCached) {
            iconv_close(m_entries.front().converter);
            m_entries.erase(m_entries.begin());
        }
        m_entries.push_back(Entry{to, from, converter});
        return converter;
    }

private:
    struct Entry {
        std::string to;
        std::string from;
        iconv_t converter;
    };
    std::vector<Entry> m_entries;
};

thread_local ConverterCache t_converters;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Writes the bytes that return a stateful charset (UTF-7, ISO-2022) to its initial state.
void FlushShiftState(iconv_t converter, UnitSink<char>& sink)
{
    char chunk[64];
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    sink.Put(chunk, static_cast<std::size_t>(out - chunk));
}

void PutUtf16Bytes(const char* bytes, std::size_t count, UnitSink<char16_t>& sink)
{
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        char16_t unit;
        std::memcpy(&unit, bytes + i, sizeof unit);
        sink.Put(unit);
    }
}

}  // namespace

bool IconvEncode(const std::string& charset, std::u16string_view text, std::string_view defaultChar,
                 UnitSink<char>& sink)
{
    const iconv_t converter = t_converters.Get(charset.c_str(), kNativeUtf16);
    if (converter == kNoConverter)
        return false;

    std::size_t unit = 0;
    while (unit < text.size()) {
        char chunk[4096];
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data() + unit));
        std::size_t inLeft = (text.size() - unit) * sizeof(char16_t);
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        sink.Put(chunk, static_cast<std::size_t>(out - chunk));
        unit = text.size() - inLeft / sizeof(char16_t);
        if (result != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        // Not representable, a lone surrogate, or a high surrogate cut off at the end.
        FlushShiftState(converter, sink);
        sink.Put(defaultChar.data(), defaultChar.size());
        sink.NoteReplacement();
        const bool pair = IsHighSurrogate(text[unit]) && unit + 1 < text.size() && IsLowSurrogate(text[unit + 1]);
        unit += pair ? 2 : 1;
    }
    FlushShiftState(converter, sink);
    return true;
}

bool IconvDecode(const std::string& charset, std::string_view bytes, UnitSink<char16_t>& sink)
{
    const iconv_t converter = t_converters.Get(kNativeUtf16, charset.c_str());
    if (converter == kNoConverter)
        return false;

    std::size_t offset = 0;
    while (offset < bytes.size()) {
        alignas(char16_t) char chunk[4096];
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        char* in = const_cast<char*>(bytes.data() + offset);
        std::size_t inLeft = bytes.size() - offset;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        PutUtf16Bytes(chunk, static_cast<std::size_t>(out - chunk), sink);
        offset = bytes.size() - inLeft;
        if (result != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        sink.Put(kReplacement);
        sink.NoteReplacement();
        // A character cut off at the end is one malformed tail; anything else skips a byte.
        offset = error == EINVAL ? bytes.size() : offset + 1;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

}  // namespace codepage
