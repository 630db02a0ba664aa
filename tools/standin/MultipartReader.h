#pragma once
// A streaming reader of multipart/form-data bodies, fed with the raw body as it arrives.
// Parts with a file name go straight to a file; other parts are kept in memory up to a
// bound. Each part's header lines are kept exactly as they arrived, for the record.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct MultipartPart {
    std::vector<std::string> headerLines;
    std::string name;
    std::string filename;
    bool hasFilename = false;
    std::string contentType;
    std::uint64_t size = 0;
    std::string value;  // parts without a file name, up to kMaxFieldBytes
    bool valueTruncated = false;
    std::filesystem::path file;  // parts with a file name
    bool complete = false;       // its closing delimiter arrived
};

class MultipartReader {
public:
    static constexpr std::size_t kMaxFieldBytes = 1 << 20;
    static constexpr std::size_t kMaxHeaderBytes = 16 << 10;
    using FileNamer = std::function<std::filesystem::path(const MultipartPart& part, std::size_t index)>;

    MultipartReader(std::string boundary, FileNamer fileFor);

    void Feed(std::string_view data);
    void Finish();  // the body ended

    const std::vector<MultipartPart>& Parts() const { return parts_; }
    bool Complete() const { return state_ == State::Epilogue; }
    const std::string& Error() const { return error_; }

    // The boundary from a Content-Type header; empty when there is none.
    static std::string BoundaryOf(const std::string& contentType);

private:
    enum class State { Preamble, AfterDelimiter, Headers, Content, Epilogue, Failed };

    bool Step();
    void StartPart(std::string_view headerBlock);
    void Emit(std::string_view content);
    void EndPart();
    void Fail(std::string error);

    const std::string dashBoundary_;   // "--" boundary
    const std::string nextDelimiter_;  // "\r\n--" boundary
    FileNamer fileFor_;
    State state_ = State::Preamble;
    std::string buffer_;
    std::vector<MultipartPart> parts_;
    std::ofstream out_;
    std::string error_;
};

}  // namespace standin
