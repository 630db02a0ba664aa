// The main of every wire-test executable: the client under test trusts the test
// authority through ZENDRIK_CA_FILE, and a peer that goes away while we write must
// fail the write, not kill the process. On Windows the internet library trusts the
// system's store, where scripts/test-windows.sh has put the authority, and no signal
// ends a write.

#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/WireServer.h"

namespace {

#ifndef _WIN32
class TestAuthorityEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("ZENDRIK_CA_FILE", testsupport::TestDataPath("certs/ca.pem").c_str(), 1); }
};
#endif

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    // GoogleTest owns registered environments and deletes them at exit.
    ::testing::AddGlobalTestEnvironment(new TestAuthorityEnvironment);
#endif
    return RUN_ALL_TESTS();
}
