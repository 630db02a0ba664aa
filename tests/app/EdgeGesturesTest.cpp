#include "app/EdgeGestures.h"
#include "app/VersionText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class EdgeGestures : public ::testing::Test {
protected:
    void SetUp() override
    {
        record = files.Path() + "/calls.txt";
        ::setenv("ZENDRIK_QUORELL_RECORD", record.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("ZENDRIK_QUORELL_RECORD"); }

    std::string Calls() const
    {
        std::ifstream in(record);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    testsupport::TempDir files;
    std::string record;
};

TEST_F(EdgeGestures, TheLibraryInTheFirstDirectoryGetsTheWholeWindowAndTheFlag)
{
    // An X11 id, then a handle wider than 32 bits as a 64-bit HWND can be.
    SwitchEdgeGestures(0x2a00007, true, ZENDRIK_QUORELL_RECORDER_DIR);
    SwitchEdgeGestures(0x7ff62a000007, false, ZENDRIK_QUORELL_RECORDER_DIR);
    EXPECT_EQ(Calls(), "44040199 1\n140695243325447 0\n");
}

TEST_F(EdgeGestures, WithoutTheLibraryNothingHappens)
{
    SwitchEdgeGestures(7, true, files.Path());
    SwitchEdgeGestures(7, true);
    EXPECT_EQ(Calls(), "");
}

TEST_F(EdgeGestures, ALibraryWithoutTheFunctionIsLeftAlone)
{
    const std::filesystem::path dir = files.Path();
    std::filesystem::copy_file(ZENDRIK_EMPTY_LIBRARY, dir / "libQuorell.so");
    SwitchEdgeGestures(7, true, dir);
    EXPECT_EQ(Calls(), "");
}

TEST_F(EdgeGestures, TheSecondNameIsTriedToo)
{
    const std::filesystem::path dir = files.Path();
    std::filesystem::copy_file(std::filesystem::path(ZENDRIK_QUORELL_RECORDER_DIR) / "libQuorell.so",
                               dir / "Quorell.so");
    SwitchEdgeGestures(9, true, dir);
    EXPECT_EQ(Calls(), "9 1\n");
}

TEST(VersionText, PartsAfterTheLastNonZeroOneAreLeftOut)
{
    EXPECT_EQ(FormatVersionText({2, 4, 4, 0}), u"v2.4.4");
    EXPECT_EQ(FormatVersionText({2, 4, 4, 1}), u"v2.4.4.1");
    EXPECT_EQ(FormatVersionText({2, 4, 0, 0}), u"v2.4");
    EXPECT_EQ(FormatVersionText({2, 0, 0, 3}), u"v2.0.0.3");
    EXPECT_EQ(FormatVersionText({65535, 0, 0, 0}), u"v65535.0");
}

TEST(VersionText, TheBuildRecordsVersion2440)
{
    const FileVersion version = ProgramFileVersion();
    EXPECT_EQ(version.major, 2);
    EXPECT_EQ(version.minor, 4);
    EXPECT_EQ(version.build, 4);
    EXPECT_EQ(version.revision, 0);
    WorkOutVersionText();
    EXPECT_EQ(VersionText, u"v2.4.4");
}

}  // namespace
