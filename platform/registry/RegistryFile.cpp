#include "platform/registry/RegistryFile.h"

#include "platform/registry/Registry.h"

#include "platform/win32/Utf.h"
#include "platform/win32/WideCrt.h"
#include "platform/win32/WideText.h"

#include <cstdint>
#include <utility>

namespace {

constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kRootName = u"hkey_current_user";

char16_t FoldAscii(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

std::u16string Fold(std::u16string_view text)
{
    std::u16string folded(text);
    for (char16_t& unit : folded)
        unit = FoldAscii(unit);
    return folded;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view foldedPrefix)
{
    if (text.size() < foldedPrefix.size())
        return false;
    for (std::size_t i = 0; i < foldedPrefix.size(); ++i) {
        if (FoldAscii(text[i]) != foldedPrefix[i])
            return false;
    }
    return true;
}

std::u16string DecodeText(std::string_view bytes)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    if (bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE) {
        std::u16string text;
        text.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(byteAt(i) | (byteAt(i + 1) << 8));
        return text;
    }
    if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF)
        bytes.remove_prefix(3);
    return Utf8ToUtf16(bytes);
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find(u'\n');
        std::u16string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::u16string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

int HexDigit(char16_t unit)
{
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    if (unit >= u'a' && unit <= u'f')
        return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F')
        return unit - u'A' + 10;
    return -1;
}

// One to maxDigits hex digits and nothing else.
std::optional<DWORD> ParseHexNumber(std::u16string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    DWORD value = 0;
    for (char16_t unit : text) {
        const int digit = HexDigit(unit);
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    return value;
}

// "aa,bb,cc" with blanks allowed around each byte and one trailing comma.
std::optional<std::vector<BYTE>> ParseHexList(std::u16string_view text)
{
    std::vector<BYTE> bytes;
    text = TrimWhiteSpace(text);
    while (!text.empty()) {
        const std::size_t comma = text.find(u',');
        const std::optional<DWORD> byte = ParseHexNumber(TrimWhiteSpace(text.substr(0, comma)), 2);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<BYTE>(*byte));
        if (comma == std::u16string_view::npos)
            break;
        text = TrimWhiteSpace(text.substr(comma + 1));
    }
    return bytes;
}

// A quoted text at the start of `text`; `text` is left after the closing quote.
// Only \\ and \" are escapes; a backslash before anything else stays as it is.
std::optional<std::u16string> ParseQuoted(std::u16string_view& text)
{
    if (text.empty() || text.front() != u'"')
        return std::nullopt;
    std::u16string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (unit == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
            result += text[++i];
            continue;
        }
        result += unit;
    }
    return std::nullopt;
}

std::vector<BYTE> Utf16LeWithNul(std::u16string_view text)
{
    std::vector<BYTE> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

struct Removal {};

class Parser {
public:
    explicit Parser(std::vector<std::u16string_view> lines) : lines_(std::move(lines)) {}

    RegistryHive Run()
    {
        if (!SkipToHeader())
            return std::move(hive_);
        while (next_ < lines_.size()) {
            const std::u16string_view line = TrimWhiteSpace(lines_[next_++]);
            if (line.empty() || line.front() == u';')
                continue;
            if (line.front() == u'[')
                KeyLine(line);
            else if (line.front() == u'"' || line.front() == u'@')
                ValueLine(line);
        }
        return std::move(hive_);
    }

private:
    bool SkipToHeader()
    {
        while (next_ < lines_.size()) {
            const std::u16string_view line = TrimWhiteSpace(lines_[next_++]);
            if (!line.empty())
                return line == kHeader;
        }
        return false;
    }

    void KeyLine(std::u16string_view line)
    {
        currentKey_.reset();
        const std::size_t close = line.rfind(u']');
        if (close == std::u16string_view::npos || !TrimWhiteSpace(line.substr(close + 1)).empty())
            return;
        std::u16string_view name = line.substr(1, close - 1);
        const bool removal = !name.empty() && name.front() == u'-';
        if (removal)
            name.remove_prefix(1);
        if (!StartsWithFolded(name, kRootName))
            return;
        name.remove_prefix(kRootName.size());
        if (!name.empty() && name.front() != u'\\')
            return;
        if (removal) {
            hive_.RemoveKey(name);
            return;
        }
        hive_.AddKey(name);
        currentKey_ = std::u16string(name);
    }

    void ValueLine(std::u16string_view line)
    {
        std::u16string text = JoinContinuations(line);
        std::u16string_view rest = text;
        std::u16string name;
        if (rest.front() == u'@') {
            rest.remove_prefix(1);
        } else {
            std::optional<std::u16string> quoted = ParseQuoted(rest);
            if (!quoted)
                return;
            name = std::move(*quoted);
        }
        rest = TrimWhiteSpace(rest);
        if (rest.empty() || rest.front() != u'=' || !currentKey_)
            return;
        rest = TrimWhiteSpace(rest.substr(1));
        if (rest == u"-") {
            hive_.RemoveValue(*currentKey_, name);
            return;
        }
        if (std::optional<RegistryValue> value = ParseData(rest))
            hive_.SetValue(*currentKey_, name, std::move(*value));
    }

    // A line ending in a backslash goes on in the next one (hex lists only, in
    // practice); the pieces are joined without the backslash.
    std::u16string JoinContinuations(std::u16string_view line)
    {
        std::u16string text(line);
        while (!text.empty() && text.back() == u'\\') {
            text.pop_back();
            if (next_ == lines_.size())
                break;
            text += TrimWhiteSpace(lines_[next_++]);
        }
        return text;
    }

    static std::optional<RegistryValue> ParseData(std::u16string_view data)
    {
        if (!data.empty() && data.front() == u'"') {
            std::optional<std::u16string> text = ParseQuoted(data);
            if (!text || !TrimWhiteSpace(data).empty())
                return std::nullopt;
            return RegistryValue{REG_SZ, Utf16LeWithNul(*text)};
        }
        if (StartsWithFolded(data, u"dword:")) {
            const std::optional<DWORD> number = ParseHexNumber(TrimWhiteSpace(data.substr(6)), 8);
            if (!number)
                return std::nullopt;
            std::vector<BYTE> bytes(4);
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<BYTE>(*number >> (8 * i));
            return RegistryValue{REG_DWORD, std::move(bytes)};
        }
        if (StartsWithFolded(data, u"hex:"))
            return HexValue(REG_BINARY, data.substr(4));
        if (StartsWithFolded(data, u"hex(")) {
            const std::size_t close = data.find(u"):");
            if (close == std::u16string_view::npos)
                return std::nullopt;
            const std::optional<DWORD> type = ParseHexNumber(data.substr(4, close - 4), 8);
            if (!type)
                return std::nullopt;
            return HexValue(*type, data.substr(close + 2));
        }
        return std::nullopt;
    }

    static std::optional<RegistryValue> HexValue(DWORD type, std::u16string_view list)
    {
        std::optional<std::vector<BYTE>> bytes = ParseHexList(list);
        if (!bytes)
            return std::nullopt;
        return RegistryValue{type, std::move(*bytes)};
    }

    std::vector<std::u16string_view> lines_;
    std::size_t next_ = 0;
    std::optional<std::u16string> currentKey_;
    RegistryHive hive_;
};

}  // namespace

std::u16string RegistryHive::CanonicalPath(std::u16string_view path)
{
    std::u16string canonical;
    while (!path.empty()) {
        const std::size_t separator = path.find(u'\\');
        const std::u16string_view component = path.substr(0, separator);
        if (!component.empty()) {
            if (!canonical.empty())
                canonical += u'\\';
            canonical += Fold(component);
        }
        if (separator == std::u16string_view::npos)
            break;
        path.remove_prefix(separator + 1);
    }
    return canonical;
}

bool RegistryHive::HasKey(std::u16string_view path) const
{
    const std::u16string canonical = CanonicalPath(path);
    if (canonical.empty() || keys_.contains(canonical))
        return true;
    const std::u16string prefix = canonical + u'\\';
    const auto below = keys_.lower_bound(prefix);
    return below != keys_.end() && below->first.starts_with(prefix);
}

const RegistryValue* RegistryHive::FindValue(std::u16string_view keyPath, std::u16string_view name) const
{
    const auto key = keys_.find(CanonicalPath(keyPath));
    if (key == keys_.end())
        return nullptr;
    const auto value = key->second.find(Fold(name));
    return value == key->second.end() ? nullptr : &value->second;
}

void RegistryHive::AddKey(std::u16string_view path) { keys_[CanonicalPath(path)]; }

void RegistryHive::RemoveKey(std::u16string_view path)
{
    const std::u16string canonical = CanonicalPath(path);
    if (canonical.empty())
        return;  // the root itself cannot be removed
    keys_.erase(canonical);
    const std::u16string prefix = canonical + u'\\';
    auto it = keys_.lower_bound(prefix);
    while (it != keys_.end() && it->first.starts_with(prefix))
        it = keys_.erase(it);
}

void RegistryHive::SetValue(std::u16string_view keyPath, std::u16string_view name, RegistryValue value)
{
    keys_[CanonicalPath(keyPath)][Fold(name)] = std::move(value);
}

void RegistryHive::RemoveValue(std::u16string_view keyPath, std::u16string_view name)
{
    const auto key = keys_.find(CanonicalPath(keyPath));
    if (key != keys_.end())
        key->second.erase(Fold(name));
}

RegistryHive ParseRegistryFile(std::string_view bytes)
{
    const std::u16string text = DecodeText(bytes);
    return Parser(SplitLines(text)).Run();
}
