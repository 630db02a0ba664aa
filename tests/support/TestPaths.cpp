#include "tests/support/WireServer.h"

namespace testsupport {

std::string TestDataPath(std::string_view relative)
{
    return std::string(ZENDRIK_TEST_DATA_DIR) + "/" + std::string(relative);
}

}  // namespace testsupport
