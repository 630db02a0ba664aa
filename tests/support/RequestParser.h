#pragma once
// Reads one HTTP/1.1 request from a byte stream that arrives in pieces of any size,
// keeping the bytes exactly as they came and de-chunking a chunked body on the way.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/WireServer.h"

namespace testsupport::detail {

class RequestParser {
public:
    enum class Phase { Headers, Body, Done, Malformed };

    // With discardBody the body is counted but neither it nor its framing is kept.
    explicit RequestParser(bool discardBody);

    // Takes bytes of this request from the front of [data, data + size) and returns how
    // many it took. It stops at the end of the headers (so that the caller can react to
    // them), at the end of the request and when the body limit is reached.
    std::size_t Feed(const char* data, std::size_t size);

    // Takes no more body bytes once `bytes` of payload have arrived.
    void LimitBody(std::uint64_t bytes) { limit_ = bytes; }
    bool LimitReached() const;

    Phase phase() const { return phase_; }
    bool Started() const { return !request_.raw.empty(); }
    const RecordedRequest& Request() const { return request_; }
    RecordedRequest Take() { return std::move(request_); }

private:
    enum class BodyMode { Length, Chunked };
    enum class ChunkState { Size, Data, DataEnd, Trailer };

    std::size_t FeedHeaders(const char* data, std::size_t size);
    std::size_t FeedLength(const char* data, std::size_t size);
    std::size_t FeedChunked(const char* data, std::size_t size);
    std::size_t FeedChunkLine(const char* data, std::size_t size);
    void EndChunkLine();
    void ParseHead();
    bool ParseRequestLine(const std::string& line);
    bool ParseHeaderLine(const std::string& line);
    void ChooseBodyMode();
    std::size_t BodyRoom(std::uint64_t wanted, std::size_t available) const;
    void AppendFraming(const char* data, std::size_t size);
    void AppendPayload(const char* data, std::size_t size);

    bool discard_;
    Phase phase_ = Phase::Headers;
    BodyMode bodyMode_ = BodyMode::Length;
    ChunkState chunkState_ = ChunkState::Size;
    std::uint64_t left_ = 0;  // of the Content-Length, or of the current chunk
    std::string line_;        // a chunk-size, chunk-end or trailer line being gathered
    std::optional<std::uint64_t> limit_;
    RecordedRequest request_;
};

}  // namespace testsupport::detail
