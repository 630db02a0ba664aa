// Failures with a real peer: each ends in httpclientexceptionW with the catalogue code
// and the internet library's error number, and leaves the client idle and reusable
// with no file or handle left open.

#include "ClientTestSupport.h"
#include "tests/support/Backend.h"
#include "tests/support/WireServer.h"

#include "platform/wininet/WinInet.h"

#include <gtest/gtest.h>

#include <set>

using namespace Tavik;
using namespace clienttest;
using testsupport::Misbehaviour;
using testsupport::ScriptedReply;
using testsupport::TlsMode;
using testsupport::WireServer;

namespace {

struct Failure {
    DWORD code = 0;
    DWORD win32 = 0;
    std::u16string message;
};

template <typename F>
Failure FailureOf(F&& call)
{
    try {
        call();
    } catch (const httpclientexceptionW& e) {
        return {e.ErrorCode(), e.Win32Error(), e.Message()};
    }
    ADD_FAILURE() << "the request did not fail";
    return {};
}

// Runs a whole upload of the given file as the program does.
void Upload(CHttpClient& client, const std::u16string& url)
{
    client.StartUploadContext(url.c_str());
    for (;;) {
        CHttpPostStat stat;
        client.QueryPostStat(stat);
        if (CHttpResponse* response = client.ProceedContext(1024)) {
            ReadReply(response);
            return;
        }
    }
}

// Short timeouts for every session opened from now on, restored afterwards.
class ShortTimeouts {
public:
    explicit ShortTimeouts(DWORD ms) { Set(ms); }
    ~ShortTimeouts() { Set(30000); }

private:
    static void Set(DWORD ms)
    {
        ::InternetSetOptionW(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
        ::InternetSetOptionW(nullptr, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
        ::InternetSetOptionW(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
    }
};

class ClientFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        Configure(client);
        handlesBefore = OpenHandleCount();
        photo = dir.Write("shot.png", PngBytes(300 * 1024));
    }

    // After a failure: idle, nothing open, and the next request on the same client works.
    void ExpectIdleAndReusable()
    {
        EXPECT_FALSE(client.IsContextActive());
        CHttpPostStat stat;
        client.QueryPostStat(stat);
        EXPECT_THROW(stat.ActualTotalByte(), httpclientexceptionW);
        EXPECT_EQ(OpenHandleCount(), handlesBefore);

        WireServer good;
        const std::u16string url = good.BaseUrlW() + u"/again";
        EXPECT_NO_THROW(Upload(client, url));
        ASSERT_TRUE(good.WaitForRequests(1));
        EXPECT_TRUE(good.Requests()[0].complete);
    }

    void AddPhoto() { client.AddParam(u"source", W(photo).c_str(), PARAM_FLAG_FILE); }

    TempDir dir;
    std::string photo;
    CHttpClient client;
    int handlesBefore = 0;
};

}  // namespace

TEST_F(ClientFailure, ConnectionRefusedSurfacesWhenTheRequestIsSent)
{
    AddPhoto();
    const std::u16string url =
        W("https://" + testsupport::LocalHostName() + ":" + std::to_string(testsupport::UnusedLocalPort()) + "/up");
    const Failure upload = FailureOf([&] { client.StartUploadContext(url.c_str()); });
    EXPECT_EQ(upload.code, 407u);
    EXPECT_EQ(upload.win32, 12029u);
    EXPECT_EQ(upload.message, u"::HttpSendRequestEx failed.");

    const Failure get = FailureOf([&] { client.ExecuteGet(url.c_str()); });
    EXPECT_EQ(get.code, 406u);
    EXPECT_EQ(get.win32, 12029u);
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, UnknownHost)
{
    const Failure get = FailureOf([&] { client.ExecuteGet(u"https://no-such-host.invalid/v2.12/me"); });
    EXPECT_EQ(get.code, 406u);
    EXPECT_EQ(get.win32, 12007u);
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, ServerClosesTheConnectionMidBody)
{
    // Far more than the socket buffers hold, so that the cut is met while writing.
    const std::string big = dir.Write("big.bin", std::string(16 << 20, 'b'));
    for (const Misbehaviour how : {Misbehaviour::CloseAfterBodyBytes, Misbehaviour::ResetAfterBodyBytes}) {
        WireServer server;
        ScriptedReply cut;
        cut.misbehaviour = how;
        cut.afterBodyBytes = 100 * 1024;
        server.Script("/up", cut);
        CHttpClient uploader;
        Configure(uploader);
        uploader.AddParam(u"source", W(big).c_str(), PARAM_FLAG_FILE);
        const std::u16string url = server.BaseUrlW() + u"/up";
        const Failure failure = FailureOf([&] { Upload(uploader, url); });
        EXPECT_TRUE(failure.code == 408u || failure.code == 409u) << failure.code;
        // Under TLS the real library reports the broken connection as a secure channel
        // error (12157).
        EXPECT_TRUE(failure.win32 == 12030u || failure.win32 == 12031u ||
                    (testsupport::kRealWindowsLibraries && failure.win32 == 12157u))
            << failure.win32;
        EXPECT_FALSE(uploader.IsContextActive());
    }
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, ServerThatNeverAnswersTimesOut)
{
    SKIP_ON_WINDOWS("Wine's internet library takes no timeouts for every session (on the null handle)");
    {
        ShortTimeouts shortTimeouts(1500);
        WireServer server;
        ScriptedReply silent;
        silent.misbehaviour = Misbehaviour::NeverAnswer;
        server.Script("/up", silent);
        AddPhoto();
        const std::u16string url = server.BaseUrlW() + u"/up";
        const Failure failure = FailureOf([&] { Upload(client, url); });
        EXPECT_EQ(failure.code, 409u);
        EXPECT_EQ(failure.win32, 12002u);
    }
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, CertificatesThatFailVerification)
{
    for (const TlsMode mode : {TlsMode::Untrusted, TlsMode::WrongHost}) {
        WireServer server(mode);
        const std::u16string url = server.BaseUrlW() + u"/v2.12/me";
        const Failure failure = FailureOf([&] { client.ExecuteGet(url.c_str()); });
        EXPECT_EQ(failure.code, 406u);
        EXPECT_TRUE(failure.win32 == 12045u || failure.win32 == 12038u) << failure.win32;
        EXPECT_TRUE(server.Requests().empty());  // nothing reached the server
    }
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, FileThatChangesSizeBeforeItsPartStarts)
{
    SKIP_ON_WINDOWS("the upload holds its files open without write sharing, so nobody can change one");
    {
        WireServer server;
        const std::string grown = dir.Write("grows.bin", std::string(5000, 'g'));
        client.AddParam(u"a_caption", u"first part");
        client.AddParam(u"source", W(grown).c_str(), PARAM_FLAG_FILE);
        const std::u16string url = server.BaseUrlW() + u"/up";
        client.StartUploadContext(url.c_str());
        EXPECT_EQ(client.ProceedContext(1024), nullptr);  // caption part started
        dir.Write("grows.bin", std::string(9000, 'g'));
        const Failure failure = FailureOf([&] {
            while (client.ProceedContext(1024) == nullptr) {
            }
        });
        EXPECT_EQ(failure.code, 105u);
    }
    ExpectIdleAndReusable();
}

TEST_F(ClientFailure, InvalidAddressesAreRefusedBeforeAnythingIsOpened)
{
    EXPECT_EQ(FailureOf([&] { client.ExecuteGet(u"https://:99999/x"); }).code, 107u);
    EXPECT_EQ(FailureOf([&] { client.ExecuteGet(u"https:///x"); }).code, 103u);
    EXPECT_EQ(FailureOf([&] { client.ExecuteGet(nullptr); }).code, 103u);
    EXPECT_EQ(FailureOf([&] { client.ExecuteGet(u"https://user:pw@host/x"); }).code, 107u);
    EXPECT_EQ(FailureOf([&] { client.StartPostContext(u"http://host:8a/"); }).code, 107u);
    ExpectIdleAndReusable();
}
