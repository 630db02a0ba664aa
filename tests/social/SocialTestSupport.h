#pragma once
// What the operations' tests share: a job that records what the operations report,
// the service hosts pointed at local recording servers, temporary files, and the
// parts of a recorded multipart body.

#include "platform/win32/Utf.h"
#include "social/JobContext.h"
#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/TempDir.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace socialtest {

inline std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// Well-formed JSON nested far deeper than the JSON library's stack limit.
inline std::string DeeplyNestedJson() { return std::string(5000, '[') + std::string(5000, ']'); }

// Log lines and tags in UTF-8, so that a failing expectation reads as text. A cancel
// can be set, or requested to come once a number of progress lines has been shown.
class RecordingJob : public social::JobContext {
public:
    explicit RecordingJob(std::u16string token = u"TOKEN-1") : token_(std::move(token)) {}

    void AppendLog(const std::u16string& line) override
    {
        lines.push_back(Utf16ToUtf8(line));
        if (line.starts_with(u"Progress:"))
            ++progressLines;
    }
    void SetStatusTag(const std::u16string& tag) override { tags.push_back(Utf16ToUtf8(tag)); }
    bool IsCancelRequested() override
    {
        ++cancelChecks;
        return cancel || (cancelAfterProgressLines > 0 && progressLines >= cancelAfterProgressLines);
    }
    const std::u16string& AccessToken() const override { return token_; }

    std::vector<std::string> ProgressLines() const
    {
        std::vector<std::string> progress;
        for (const std::string& line : lines)
            if (line.starts_with("Progress:"))
                progress.push_back(line);
        return progress;
    }
    // The lines without the progress lines.
    std::vector<std::string> PlainLines() const
    {
        std::vector<std::string> plain;
        for (const std::string& line : lines)
            if (!line.starts_with("Progress:"))
                plain.push_back(line);
        return plain;
    }
    // The tags without the progress tags.
    std::vector<std::string> PlainTags() const
    {
        std::vector<std::string> plain;
        for (const std::string& tag : tags)
            if (tag.find("(Progress: ") == std::string::npos)
                plain.push_back(tag);
        return plain;
    }

    std::vector<std::string> lines;
    std::vector<std::string> tags;
    bool cancel = false;
    int cancelAfterProgressLines = 0;
    int progressLines = 0;
    int cancelChecks = 0;

private:
    std::u16string token_;
};

// The four service hosts on local servers: the Graph API host, the Graph video host
// (HTTPS), and the GIF service's upload and media hosts (plain HTTP). The endpoints
// read their variables at every call, so setting them per test is enough.
class ServiceHostsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHost("ZENDRIK_GRAPH_HOST", graph.HostPort());
        SetHost("ZENDRIK_GRAPH_VIDEO_HOST", video.HostPort());
        SetHost("ZENDRIK_GIF_UPLOAD_HOST", gif.HostPort());
        SetHost("ZENDRIK_GIF_MEDIA_HOST", "media.example.test");
    }
    void TearDown() override
    {
        while (!hosts_.empty())
            hosts_.pop_back();  // the latest first, so that each restores what it found
    }

    void SetHost(const char* variable, const std::string& hostPort)
    {
        hosts_.push_back(std::make_unique<ScopedEnvironmentVariable>(variable, hostPort));
    }
    // The Graph API host on a port where nothing listens.
    void RefuseGraphHost()
    {
        SetHost("ZENDRIK_GRAPH_HOST",
                testsupport::LocalHostName() + ":" + std::to_string(testsupport::UnusedLocalPort()));
    }

    void Reply(testsupport::WireServer& server, const std::string& target, int status, const std::string& reason,
               const std::string& body)
    {
        testsupport::ScriptedReply reply;
        reply.status = status;
        reply.reason = reason;
        reply.body = body;
        server.Script(target, reply);
    }
    // The only request the server received.
    static testsupport::RecordedRequest OnlyRequest(const testsupport::WireServer& server)
    {
        EXPECT_TRUE(server.WaitForRequests(1));
        const auto requests = server.Requests();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? testsupport::RecordedRequest{} : requests.front();
    }

    testsupport::WireServer graph{testsupport::TlsMode::Trusted};
    testsupport::WireServer video{testsupport::TlsMode::Trusted};
    testsupport::WireServer gif{testsupport::TlsMode::Trusted};
    RecordingJob job;

private:
    std::vector<std::unique_ptr<ScopedEnvironmentVariable>> hosts_;
};

using testsupport::TempDir;

// Bytes that start like a JPEG file, padded to the size.
inline std::string JpegBytes(std::size_t size)
{
    std::string bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
    bytes.resize(size, '\x5A');
    return bytes;
}

struct MultipartPart {
    std::string name;
    std::string filename;  // empty for a field
    std::string contentType;
    std::string content;
};

// The parts of a multipart/form-data body, as they arrived; empty when the body does
// not follow the layout.
inline std::vector<MultipartPart> MultipartParts(const testsupport::RecordedRequest& request)
{
    const std::string contentType = request.Header("Content-Type").value_or("");
    const std::string marker = "boundary=";
    const auto at = contentType.find(marker);
    if (at == std::string::npos)
        return {};
    const std::string delimiter = "--" + contentType.substr(at + marker.size());
    const std::string& body = request.body;
    std::vector<MultipartPart> parts;
    std::size_t pos = 0;
    while (body.compare(pos, delimiter.size() + 2, delimiter + "\r\n") == 0) {
        const std::size_t headStart = pos + delimiter.size() + 2;
        const std::size_t headEnd = body.find("\r\n\r\n", headStart);
        const std::size_t next = body.find("\r\n" + delimiter, headEnd);
        if (headEnd == std::string::npos || next == std::string::npos)
            return {};
        const std::string head = body.substr(headStart, headEnd - headStart);
        MultipartPart part;
        auto attribute = [&](const std::string& key) {
            const auto keyAt = head.find(key + "=\"");
            if (keyAt == std::string::npos)
                return std::string();
            const auto valueAt = keyAt + key.size() + 2;
            return head.substr(valueAt, head.find('"', valueAt) - valueAt);
        };
        part.name = attribute("; name");
        part.filename = attribute("filename");
        const auto typeAt = head.find("Content-Type: ");
        if (typeAt != std::string::npos)
            part.contentType = head.substr(typeAt + 14);
        part.content = body.substr(headEnd + 4, next - headEnd - 4);
        parts.push_back(part);
        pos = next + 2;
    }
    if (body.substr(pos) != delimiter + "--\r\n")
        return {};
    return parts;
}

inline std::vector<std::string> PartNames(const std::vector<MultipartPart>& parts)
{
    std::vector<std::string> names;
    for (const MultipartPart& part : parts)
        names.push_back(part.name);
    return names;
}

}  // namespace socialtest
