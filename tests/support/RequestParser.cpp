#include "tests/support/RequestParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

namespace testsupport::detail {
namespace {

constexpr std::size_t kMaxHeadBytes = 1 << 20;
constexpr std::size_t kMaxChunkLineBytes = 4096;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text, int base)
{
    text = Trim(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool IsEmptyLine(const std::string& line) { return line == "\r\n" || line == "\n"; }

}  // namespace

RequestParser::RequestParser(bool discardBody) : discard_(discardBody) {}

bool RequestParser::LimitReached() const
{
    return limit_ && phase_ != Phase::Headers && request_.bodyBytesReceived >= *limit_;
}

std::size_t RequestParser::Feed(const char* data, std::size_t size)
{
    switch (phase_) {
    case Phase::Headers: return FeedHeaders(data, size);
    case Phase::Body: return bodyMode_ == BodyMode::Chunked ? FeedChunked(data, size) : FeedLength(data, size);
    case Phase::Done:
    case Phase::Malformed: break;
    }
    return 0;
}

std::size_t RequestParser::FeedHeaders(const char* data, std::size_t size)
{
    std::string& raw = request_.raw;
    const std::size_t searchFrom = raw.size() >= 3 ? raw.size() - 3 : 0;
    const std::size_t before = raw.size();
    raw.append(data, size);
    const auto terminator = raw.find("\r\n\r\n", searchFrom);
    if (terminator == std::string::npos) {
        if (raw.size() > kMaxHeadBytes)
            phase_ = Phase::Malformed;
        return size;
    }
    const std::size_t headEnd = terminator + 4;
    raw.resize(headEnd);
    ParseHead();
    return headEnd - before;
}

void RequestParser::ParseHead()
{
    const std::string& raw = request_.raw;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const auto end = raw.find("\r\n", start);
        if (end == start)
            break;  // the empty line that ends the head
        const std::string line = raw.substr(start, end - start);
        const bool ok = first ? ParseRequestLine(line) : ParseHeaderLine(line);
        if (!ok) {
            phase_ = Phase::Malformed;
            return;
        }
        first = false;
        start = end + 2;
    }
    if (first) {
        phase_ = Phase::Malformed;
        return;
    }
    ChooseBodyMode();
}

bool RequestParser::ParseRequestLine(const std::string& line)
{
    const auto space1 = line.find(' ');
    if (space1 == std::string::npos)
        return false;
    const auto space2 = line.find(' ', space1 + 1);
    if (space2 == std::string::npos || line.find(' ', space2 + 1) != std::string::npos)
        return false;
    request_.method = line.substr(0, space1);
    request_.target = line.substr(space1 + 1, space2 - space1 - 1);
    request_.version = line.substr(space2 + 1);
    return !request_.method.empty() && !request_.target.empty() && request_.version.starts_with("HTTP/");
}

bool RequestParser::ParseHeaderLine(const std::string& line)
{
    const auto colon = line.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    const std::string_view view(line);
    request_.headers.emplace_back(std::string(view.substr(0, colon)), std::string(Trim(view.substr(colon + 1))));
    return true;
}

void RequestParser::ChooseBodyMode()
{
    if (const auto coding = request_.Header("Transfer-Encoding")) {
        const std::string codings = Lower(*coding);
        const auto lastComma = codings.rfind(',');
        const auto last = Trim(lastComma == std::string::npos ? std::string_view(codings)
                                                              : std::string_view(codings).substr(lastComma + 1));
        if (last != "chunked") {
            phase_ = Phase::Malformed;
            return;
        }
        bodyMode_ = BodyMode::Chunked;
        phase_ = Phase::Body;
        return;
    }
    if (const auto length = request_.Header("Content-Length")) {
        const auto value = ParseNumber(*length, 10);
        if (!value) {
            phase_ = Phase::Malformed;
            return;
        }
        left_ = *value;
        phase_ = left_ == 0 ? Phase::Done : Phase::Body;
    } else {
        phase_ = Phase::Done;
    }
    request_.complete = phase_ == Phase::Done;
}

std::size_t RequestParser::BodyRoom(std::uint64_t wanted, std::size_t available) const
{
    std::uint64_t room = std::min<std::uint64_t>(wanted, available);
    if (limit_)
        room = std::min(room, *limit_ - std::min(*limit_, request_.bodyBytesReceived));
    return static_cast<std::size_t>(room);
}

void RequestParser::AppendFraming(const char* data, std::size_t size)
{
    if (!discard_)
        request_.raw.append(data, size);
}

void RequestParser::AppendPayload(const char* data, std::size_t size)
{
    request_.bodyBytesReceived += size;
    if (discard_)
        return;
    request_.raw.append(data, size);
    request_.body.append(data, size);
}

std::size_t RequestParser::FeedLength(const char* data, std::size_t size)
{
    const std::size_t take = BodyRoom(left_, size);
    AppendPayload(data, take);
    left_ -= take;
    if (left_ == 0) {
        phase_ = Phase::Done;
        request_.complete = true;
    }
    return take;
}

std::size_t RequestParser::FeedChunked(const char* data, std::size_t size)
{
    std::size_t used = 0;
    while (used < size && phase_ == Phase::Body && !LimitReached()) {
        if (chunkState_ != ChunkState::Data) {
            used += FeedChunkLine(data + used, size - used);
            continue;
        }
        const std::size_t take = BodyRoom(left_, size - used);
        AppendPayload(data + used, take);
        used += take;
        left_ -= take;
        if (left_ == 0)
            chunkState_ = ChunkState::DataEnd;
    }
    return used;
}

std::size_t RequestParser::FeedChunkLine(const char* data, std::size_t size)
{
    const void* newline = std::memchr(data, '\n', size);
    const std::size_t take = newline ? static_cast<const char*>(newline) - data + 1 : size;
    line_.append(data, take);
    AppendFraming(data, take);
    if (line_.size() > kMaxChunkLineBytes) {
        phase_ = Phase::Malformed;
        return take;
    }
    if (newline)
        EndChunkLine();
    return take;
}

void RequestParser::EndChunkLine()
{
    const std::string line = std::exchange(line_, {});
    switch (chunkState_) {
    case ChunkState::Size: {
        const std::string_view text(line);
        const auto size = ParseNumber(text.substr(0, text.find_first_of(";\r\n")), 16);
        if (!size) {
            phase_ = Phase::Malformed;
            return;
        }
        left_ = *size;
        chunkState_ = left_ == 0 ? ChunkState::Trailer : ChunkState::Data;
        return;
    }
    case ChunkState::DataEnd:
        if (!IsEmptyLine(line))
            phase_ = Phase::Malformed;
        chunkState_ = ChunkState::Size;
        return;
    case ChunkState::Trailer:
        if (!IsEmptyLine(line))
            return;  // a trailer field: kept in raw, not interpreted
        phase_ = Phase::Done;
        request_.complete = true;
        return;
    case ChunkState::Data: return;
    }
}

}  // namespace testsupport::detail
