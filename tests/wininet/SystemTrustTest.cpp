// The system's authorities are found in the hashed certificate folder, one file per
// authority, as the layer's shared trust store looks them up. Its own executable: the
// store is made once per process, and ZENDRIK_CA_FILE must stay unset here.

#include "platform/wininet/WinInet.h"
#include "tests/support/TempDir.h"
#include "tests/support/WireServer.h"

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Names the authority's file as the hashed folder does: its subject hash, ".0".
std::string HashedName(const std::string& pemPath)
{
    FILE* file = std::fopen(pemPath.c_str(), "r");
    X509* cert = file ? PEM_read_X509(file, nullptr, nullptr, nullptr) : nullptr;
    if (file)
        std::fclose(file);
    char name[16] = {};
    if (cert)
        std::snprintf(name, sizeof name, "%08lx.0", X509_subject_name_hash(cert));
    X509_free(cert);
    return name;
}

}  // namespace

TEST(SystemTrust, AuthorityInTheHashedFolderIsTrustedWithoutAnExtraFile)
{
    const std::string ca = testsupport::TestDataPath("certs/ca.pem");
    testsupport::TempDir folder;
    std::ifstream in(ca);
    std::stringstream pem;
    pem << in.rdbuf();
    folder.Write(HashedName(ca), pem.str());
    ::unsetenv("ZENDRIK_CA_FILE");
    ::setenv("SSL_CERT_DIR", folder.Path().c_str(), 1);

    testsupport::WireServer server(testsupport::TlsMode::Trusted);
    HINTERNET session = InternetOpenW(u"trust test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection =
        InternetConnectW(session, u"127.0.0.1", server.Port(), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    const char* accept[] = {"*/*", nullptr};
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, accept, INTERNET_FLAG_SECURE, 0);
    EXPECT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0)) << GetLastError();
    DWORD status = 0;
    DWORD size = sizeof status;
    EXPECT_TRUE(HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr));
    EXPECT_EQ(200u, status);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
}
