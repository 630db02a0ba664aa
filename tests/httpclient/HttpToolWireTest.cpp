// The tool layer against a recording server on 127.0.0.1: what its header, request and
// write operations put on the wire, and what comes back through the status query.

#include "httpclient/HttpClientException.h"
#include "httpclient/HttpToolW.h"
#include "httpclient/MallocPtr.h"
#include "platform/win32/Utf.h"
#include "tests/support/WireServer.h"

#include "CaughtException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace Tavik;

namespace {

// Session, connection and request, closed in reverse order.
class Exchange {
public:
    Exchange(std::uint16_t port, const char16_t* verb, const char16_t* object)
    {
        m_session = InternetOpenW(u"ToolWireTest", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (m_session == nullptr)
            return;
        m_connection = CHttpToolW::OpenConnection(m_session, Utf8ToUtf16(testsupport::LocalHostName()).c_str(), port);
        m_request = CHttpToolW::OpenRequest(m_connection, verb, object, kFlags, 0);
    }
    ~Exchange()
    {
        CHttpToolW::CloseInternetHandle(m_request);
        CHttpToolW::CloseInternetHandle(m_connection);
        CHttpToolW::CloseInternetHandle(m_session);
    }
    HINTERNET Request() const { return m_request; }

private:
    static constexpr DWORD kFlags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI;
    HINTERNET m_session = nullptr;
    HINTERNET m_connection = nullptr;
    HINTERNET m_request = nullptr;
};

}  // namespace

TEST(ToolWire, HeadersGoOutAsNameColonBlankValue)
{
    testsupport::WireServer server(testsupport::TlsMode::Plain);
    Exchange exchange(server.Port(), nullptr, u"/headers?x=1");
    ASSERT_NE(nullptr, exchange.Request());
    CHttpToolW::AddHeader(exchange.Request(), u"X-Empty", nullptr, 0);
    CHttpToolW::AddHeader(exchange.Request(), u"X-Note", u"two words", 0);
    CHttpToolW::SendRequest(exchange.Request(), 0);

    ASSERT_TRUE(server.WaitForRequests(1));
    const testsupport::RecordedRequest request = server.Requests().at(0);
    EXPECT_EQ("GET", request.method);  // a null verb
    EXPECT_EQ("/headers?x=1", request.target);
    EXPECT_EQ("HTTP/1.1", request.version);
    ASSERT_TRUE(request.Header("X-Empty").has_value());
    EXPECT_EQ("", *request.Header("X-Empty"));
    EXPECT_EQ("two words", request.Header("X-Note").value_or("<absent>"));
    EXPECT_NE(std::string::npos, request.raw.find("\r\nX-Note: two words\r\n"));
}

TEST(ToolWire, StatusTextIsTheReasonPhrase)
{
    testsupport::WireServer server(testsupport::TlsMode::Plain);
    testsupport::ScriptedReply reply;
    reply.status = 404;
    reply.reason = "Not Found";
    server.Script("/missing", reply);
    Exchange exchange(server.Port(), u"GET", u"/missing");
    ASSERT_NE(nullptr, exchange.Request());
    CHttpToolW::SendRequest(exchange.Request(), 0);
    MallocPtr<char16_t> text(CHttpToolW::GetStatusText(exchange.Request()));
    ASSERT_TRUE(text);
    EXPECT_EQ(u"Not Found", std::u16string(text.get()));
}

TEST(ToolWire, PushedBodyArrivesWholeWithItsAnnouncedLength)
{
    testsupport::WireServer server(testsupport::TlsMode::Plain);
    std::string body(300000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + i % 26);
    Exchange exchange(server.Port(), u"POST", u"/upload");
    ASSERT_NE(nullptr, exchange.Request());
    CHttpToolW::SendRequestEx(exchange.Request(), static_cast<DWORD>(body.size()));
    // One large write, and the rest in small ones: the loop must deliver every byte once.
    const auto* bytes = reinterpret_cast<const BYTE*>(body.data());
    CHttpToolW::InternetWriteFile(exchange.Request(), bytes, 200000);
    for (DWORD offset = 200000; offset < body.size(); offset += 1024)
        CHttpToolW::InternetWriteFile(exchange.Request(), bytes + offset,
                                      std::min<DWORD>(1024, static_cast<DWORD>(body.size()) - offset));
    CHttpToolW::EndRequest(exchange.Request());

    ASSERT_TRUE(server.WaitForRequests(1));
    const testsupport::RecordedRequest request = server.Requests().at(0);
    EXPECT_EQ("POST", request.method);
    EXPECT_EQ("300000", request.Header("Content-Length").value_or("<absent>"));
    EXPECT_TRUE(request.complete);
    EXPECT_TRUE(request.body == body) << "body of " << request.body.size() << " bytes differs";
}

TEST(ToolWire, RefusedConnectionSurfacesAtSend)
{
    Exchange exchange(testsupport::UnusedLocalPort(), u"GET", u"/");
    ASSERT_NE(nullptr, exchange.Request());
    const httpclientexceptionW e = Caught([&] { CHttpToolW::SendRequest(exchange.Request(), 0); });
    EXPECT_EQ(406u, e.ErrorCode());
    EXPECT_EQ(ERROR_INTERNET_CANNOT_CONNECT, e.Win32Error());
}

TEST(ToolWire, CloseInternetHandleClearsTheVariable)
{
    HINTERNET session = InternetOpenW(u"ToolWireTest", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(nullptr, session);
    CHttpToolW::CloseInternetHandle(session);
    EXPECT_EQ(nullptr, session);
}
