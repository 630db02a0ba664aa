// The main of every wire-test executable: the client under test trusts the test
// authority through ZENDRIK_CA_FILE, and a peer that goes away while we write must
// fail the write, not kill the process.

#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/WireServer.h"

namespace {

class TestAuthorityEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("ZENDRIK_CA_FILE", testsupport::TestDataPath("certs/ca.pem").c_str(), 1); }
};

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    ::testing::InitGoogleTest(&argc, argv);
    // GoogleTest owns registered environments and deletes them at exit.
    ::testing::AddGlobalTestEnvironment(new TestAuthorityEnvironment);
    return RUN_ALL_TESTS();
}
