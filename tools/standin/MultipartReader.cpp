#include "tools/standin/MultipartReader.h"

#include <algorithm>
#include <cctype>

namespace standin {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// The value of name="..." in a Content-Disposition line. The file name runs to the last
// quote of the line, since a client may send a path with quotes in it unescaped.
bool QuotedParameter(std::string_view line, std::string_view key, bool toLastQuote, std::string& out)
{
    const std::string lower = Lower(line);
    std::size_t at = 0;
    while ((at = lower.find(std::string(key) + "=\"", at)) != std::string::npos) {
        const bool startsWord = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == ';';
        if (startsWord)
            break;
        ++at;
    }
    if (at == std::string::npos)
        return false;
    const std::size_t begin = at + key.size() + 2;
    const std::size_t end = toLastQuote ? line.rfind('"') : line.find('"', begin);
    if (end == std::string_view::npos || end < begin)
        return false;
    out = std::string(line.substr(begin, end - begin));
    return true;
}

}  // namespace

MultipartReader::MultipartReader(std::string boundary, FileNamer fileFor)
    : dashBoundary_("--" + boundary),
      nextDelimiter_("\r\n--" + boundary),
      fileFor_(std::move(fileFor))
{
}

std::string MultipartReader::BoundaryOf(const std::string& contentType)
{
    const std::string lower = Lower(contentType);
    if (!lower.starts_with("multipart/"))
        return {};
    const std::size_t at = lower.find("boundary=");
    if (at == std::string::npos)
        return {};
    std::string boundary = contentType.substr(at + 9);
    if (!boundary.empty() && boundary.front() == '"') {
        const std::size_t close = boundary.find('"', 1);
        return close == std::string::npos ? std::string() : boundary.substr(1, close - 1);
    }
    return boundary.substr(0, boundary.find(';'));
}

void MultipartReader::Feed(std::string_view data)
{
    if (state_ == State::Failed || state_ == State::Epilogue)
        return;
    buffer_.append(data);
    while (Step()) {
    }
}

void MultipartReader::Finish()
{
    if (state_ == State::Epilogue || state_ == State::Failed)
        return;
    if (state_ == State::Content) {
        Emit(buffer_);
        out_.close();
    }
    Fail("the body ended before the closing delimiter");
}

// One move of the state machine; false when it needs more bytes.
bool MultipartReader::Step()
{
    switch (state_) {
    case State::Preamble: {
        const std::size_t at = buffer_.find(dashBoundary_);
        if (at == std::string::npos) {
            if (buffer_.size() >= dashBoundary_.size())
                buffer_.erase(0, buffer_.size() - dashBoundary_.size() + 1);
            return false;
        }
        buffer_.erase(0, at + dashBoundary_.size());
        state_ = State::AfterDelimiter;
        return true;
    }
    case State::AfterDelimiter:
        if (buffer_.size() < 2)
            return false;
        if (buffer_.starts_with("--")) {
            state_ = State::Epilogue;
            buffer_.clear();
            return false;
        }
        if (!buffer_.starts_with("\r\n")) {
            Fail("a delimiter is followed by neither CRLF nor \"--\"");
            return false;
        }
        buffer_.erase(0, 2);
        state_ = State::Headers;
        return true;
    case State::Headers: {
        if (buffer_.starts_with("\r\n")) {
            StartPart({});
            buffer_.erase(0, 2);
            return true;
        }
        const std::size_t end = buffer_.find("\r\n\r\n");
        if (end == std::string::npos) {
            if (buffer_.size() > kMaxHeaderBytes)
                Fail("a part's headers are too long");
            return false;
        }
        StartPart(std::string_view(buffer_).substr(0, end));
        buffer_.erase(0, end + 4);
        return true;
    }
    case State::Content: {
        const std::size_t at = buffer_.find(nextDelimiter_);
        if (at == std::string::npos) {
            const std::size_t keep = nextDelimiter_.size() - 1;
            if (buffer_.size() <= keep)
                return false;
            Emit(std::string_view(buffer_).substr(0, buffer_.size() - keep));
            buffer_.erase(0, buffer_.size() - keep);
            return false;
        }
        Emit(std::string_view(buffer_).substr(0, at));
        EndPart();
        buffer_.erase(0, at + nextDelimiter_.size());
        state_ = State::AfterDelimiter;
        return true;
    }
    case State::Epilogue:
    case State::Failed: break;
    }
    return false;
}

void MultipartReader::StartPart(std::string_view headerBlock)
{
    MultipartPart part;
    std::size_t start = 0;
    while (start < headerBlock.size()) {
        std::size_t end = headerBlock.find("\r\n", start);
        if (end == std::string_view::npos)
            end = headerBlock.size();
        part.headerLines.emplace_back(headerBlock.substr(start, end - start));
        start = end + 2;
    }
    for (const std::string& line : part.headerLines) {
        const std::string lower = Lower(line);
        if (lower.starts_with("content-disposition:")) {
            QuotedParameter(line, "name", false, part.name);
            part.hasFilename = QuotedParameter(line, "filename", true, part.filename);
        } else if (lower.starts_with("content-type:")) {
            const std::size_t value = line.find_first_not_of(' ', 13);
            part.contentType = value == std::string::npos ? std::string() : line.substr(value);
        }
    }
    if (part.hasFilename) {
        part.file = fileFor_(part, parts_.size());
        out_.open(part.file, std::ios::binary | std::ios::trunc);
        if (!out_) {
            Fail("cannot write " + part.file.string());
            return;
        }
    }
    parts_.push_back(std::move(part));
    state_ = State::Content;
}

void MultipartReader::Emit(std::string_view content)
{
    if (content.empty() || parts_.empty())
        return;
    MultipartPart& part = parts_.back();
    part.size += content.size();
    if (part.hasFilename) {
        out_.write(content.data(), static_cast<std::streamsize>(content.size()));
        return;
    }
    const std::size_t room = kMaxFieldBytes - std::min(kMaxFieldBytes, part.value.size());
    part.value.append(content.substr(0, room));
    if (content.size() > room)
        part.valueTruncated = true;
}

void MultipartReader::EndPart()
{
    parts_.back().complete = true;
    if (out_.is_open())
        out_.close();
}

void MultipartReader::Fail(std::string error)
{
    state_ = State::Failed;
    error_ = std::move(error);
    buffer_.clear();
    if (out_.is_open())
        out_.close();
}

}  // namespace standin
