// The response's handle ownership and argument checks. Status, text and body from a
// real server are checked by the wire tests.

#include "httpclient/HttpResponse.h"
#include "httpclient/HttpClientException.h"
#include "platform/win32/Utf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Tavik;

// Stands in for the tool layer: records what the response closes and how often it
// asks for the status text. The handles are never dereferenced.
struct RecordingTool {
    using CharType = char16_t;

    static inline std::vector<HINTERNET> closed;
    static inline int statusTextQueries = 0;

    static void CloseInternetHandle(HINTERNET& handle) noexcept
    {
        if (handle == nullptr)
            return;
        closed.push_back(handle);
        handle = nullptr;
    }
    static char16_t* GetStatusText(HINTERNET)
    {
        ++statusTextQueries;
        static constexpr char16_t kText[] = u"OK";
        return static_cast<char16_t*>(std::memcpy(std::malloc(sizeof(kText)), kText, sizeof(kText)));
    }
};
using Response = CHttpResponseT<RecordingTool>;

HINTERNET FakeHandle(std::uintptr_t n) { return reinterpret_cast<HINTERNET>(n); }

struct HttpResponse : ::testing::Test {
    void SetUp() override
    {
        RecordingTool::closed.clear();
        RecordingTool::statusTextQueries = 0;
    }
};

template <typename Work>
std::string MessageOf(Work&& work)
{
    try {
        work();
    } catch (const httpclientexceptionW& e) {
        EXPECT_EQ(0u, e.ErrorCode());
        EXPECT_EQ(0u, e.Win32Error());
        return Utf16ToUtf8(e.Message());
    }
    ADD_FAILURE() << "no httpclientexceptionW";
    return {};
}

TEST_F(HttpResponse, ClosesRequestThenConnectionThenSession)
{
    delete new Response(FakeHandle(1), FakeHandle(2), FakeHandle(3));
    EXPECT_EQ((std::vector<HINTERNET>{FakeHandle(3), FakeHandle(2), FakeHandle(1)}), RecordingTool::closed);
}

TEST_F(HttpResponse, NullHandlesAreNotClosed)
{
    delete new Response(nullptr, nullptr, nullptr);
    delete new Response(FakeHandle(1), nullptr, nullptr);
    EXPECT_EQ((std::vector<HINTERNET>{FakeHandle(1)}), RecordingTool::closed);
}

TEST_F(HttpResponse, NullRequestIsRefusedByEveryOperation)
{
    Response response(FakeHandle(1), FakeHandle(2), nullptr);
    BYTE byte = 0;
    EXPECT_EQ("CHttpResponseT::GetStatus: m_hRequest can not be NULL.", MessageOf([&] { response.GetStatus(); }));
    EXPECT_EQ("CHttpResponseT::GetStatusText: m_hRequest can not be NULL.",
              MessageOf([&] { response.GetStatusText(); }));
    EXPECT_EQ("CHttpResponseT::ReadContent: m_hRequest can not be NULL.",
              MessageOf([&] { response.ReadContent(&byte, 1); }));
    EXPECT_EQ(0, RecordingTool::statusTextQueries);
}

TEST_F(HttpResponse, NullBufferIsRefused)
{
    Response response(nullptr, nullptr, FakeHandle(3));
    EXPECT_EQ("CHttpResponseT::ReadContent: pbyBuff can not be NULL.",
              MessageOf([&] { response.ReadContent(nullptr, 1); }));
}

// The text is freed with the response; the sanitizer build reports it otherwise.
TEST_F(HttpResponse, StatusTextIsQueriedOnceAndKeptByTheResponse)
{
    auto response = std::make_unique<Response>(nullptr, nullptr, FakeHandle(3));
    const char16_t* first = response->GetStatusText();
    const char16_t* second = response->GetStatusText();
    EXPECT_EQ(first, second);
    EXPECT_EQ("OK", Utf16ToUtf8(first));
    EXPECT_EQ(1, RecordingTool::statusTextQueries);
    response.reset();
    EXPECT_EQ((std::vector<HINTERNET>{FakeHandle(3)}), RecordingTool::closed);
}

}  // namespace
