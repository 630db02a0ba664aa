#include "platform/wininet/HeaderList.h"

#include "platform/wininet/WinInet.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace wininet {

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool IsTokenChar(unsigned char c)
{
    return std::isalnum(c) || std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

struct ParsedLine {
    std::string name;
    std::string line;
    bool emptyValue = false;
};

std::optional<ParsedLine> ParseLine(std::string_view line)
{
    const auto colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = line.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), [](unsigned char c) { return IsTokenChar(c); })) {
        return std::nullopt;
    }
    const std::string_view value = line.substr(colon + 1);
    if (std::any_of(value.begin(), value.end(), [](unsigned char c) { return c < 0x20 && c != '\t'; })) {
        return std::nullopt;
    }
    ParsedLine parsed{std::string(name), std::string(line), false};
    if (TrimSpaces(value).empty()) {
        parsed.line = std::string(name) + ";";
        parsed.emptyValue = true;
    }
    return parsed;
}

// Lines split at CR and LF, empty ones dropped.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (!line.empty()) {
            lines.push_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

DWORD HeaderList::Apply(std::string_view text, DWORD modifiers)
{
    if (text.find('\0') != std::string_view::npos) {
        return ERROR_HTTP_INVALID_HEADER;
    }
    std::vector<Entry> parsed;
    for (std::string_view line : SplitLines(text)) {
        auto entry = ParseLine(line);
        if (!entry) {
            return ERROR_HTTP_INVALID_HEADER;
        }
        parsed.push_back(Entry{std::move(entry->name), std::move(entry->line), entry->emptyValue});
    }
    if (parsed.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::vector<Entry> before = entries_;
    for (const Entry& entry : parsed) {
        if (const DWORD error = ApplyOne(entry, modifiers); error != ERROR_SUCCESS) {
            entries_ = before;
            return error;
        }
    }
    return ERROR_SUCCESS;
}

DWORD HeaderList::ApplyOne(const Entry& entry, DWORD modifiers)
{
    auto existing = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& held) { return SameName(held.name, entry.name); });
    if (modifiers & HTTP_ADDREQ_FLAG_ADD_IF_NEW) {
        if (existing != entries_.end()) {
            return ERROR_HTTP_HEADER_ALREADY_EXISTS;
        }
        entries_.push_back(entry);
        return ERROR_SUCCESS;
    }
    if (modifiers & HTTP_ADDREQ_FLAG_REPLACE) {
        if (existing == entries_.end()) {
            if (!(modifiers & HTTP_ADDREQ_FLAG_ADD)) {
                return ERROR_HTTP_HEADER_NOT_FOUND;
            }
            if (!entry.emptyValue) {
                entries_.push_back(entry);
            }
            return ERROR_SUCCESS;
        }
        if (entry.emptyValue) {
            entries_.erase(existing);
        } else {
            *existing = entry;
        }
        return ERROR_SUCCESS;
    }
    entries_.push_back(entry);
    return ERROR_SUCCESS;
}

bool HeaderList::Has(std::string_view name) const
{
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& held) { return SameName(held.name, name); });
}

std::vector<std::string> HeaderList::CurlLines() const
{
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        lines.push_back(entry.line);
    }
    return lines;
}

}  // namespace wininet
