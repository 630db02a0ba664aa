// The progress counters: the inactive guard, entry starts, byte counts and their
// limits, and the deep copies callers receive.

#include "httpclient/HttpPostStat.h"
#include "httpclient/HttpClientException.h"
#include "platform/win32/Utf.h"

#include "CaughtException.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Tavik;

struct UnitTool {
    using CharType = char16_t;
};
using Stat = CHttpPostStatT<UnitTool>;

void ExpectInactive(const char* operation, const std::function<void()>& work)
{
    const httpclientexceptionW e = Caught(work);
    EXPECT_EQ(0u, e.ErrorCode());
    EXPECT_EQ(std::string("CHttpPostStatT::") + operation + ": The post context is not active.",
              Utf16ToUtf8(e.Message()));
}

void ExpectOverflow(const std::function<void()>& work)
{
    EXPECT_EQ(HttpError::ArithmeticOverflow, Caught(work).ErrorCode());
}

struct Counters {
    DWORD actualPosted, posted, currPosted, postedCount, postedFileCount;
    bool operator==(const Counters&) const = default;
};

Counters Read(const Stat& s)
{
    return {s.ActualPostedByte(), s._PostedByte(), s.CurrParamPostedByte(), s.PostedCount(), s.PostedFileCount()};
}

std::string Text(const char16_t* text) { return text ? Utf16ToUtf8(text) : "<null>"; }

TEST(HttpPostStat, EveryAccessorAndTestRaisesWhileInactive)
{
    Stat stat;
    const std::vector<std::pair<const char*, std::function<void()>>> guarded = {
        {"ActualTotalByte", [&] { stat.ActualTotalByte(); }},
        {"ActualPostedByte", [&] { stat.ActualPostedByte(); }},
        {"TotalCount", [&] { stat.TotalCount(); }},
        {"PostedCount", [&] { stat.PostedCount(); }},
        {"FileCount", [&] { stat.FileCount(); }},
        {"PostedFileCount", [&] { stat.PostedFileCount(); }},
        {"CurrParamPostedByte", [&] { stat.CurrParamPostedByte(); }},
        {"CurrParamRemainByte", [&] { stat.CurrParamRemainByte(); }},
        {"CurrParamIsFile", [&] { stat.CurrParamIsFile(); }},
        {"CurrParamIsComplete", [&] { stat.CurrParamIsComplete(); }},
        {"_TestAddActualPostedBytes", [&] { stat._TestAddActualPostedBytes(1); }},
        {"_TestStartNewEntry", [&] { stat._TestStartNewEntry(false); }},
        {"_TestAddPostedBytes", [&] { stat._TestAddPostedBytes(1); }},
        {"_TestAddActualPostedBytes", [&] { stat._AddActualPostedBytes(1); }},
        {"_TestStartNewEntry", [&] { stat._StartNewEntry(u"a", 1, false, nullptr); }},
        {"_TestAddPostedBytes", [&] { stat._AddPostedBytes(1); }},
    };
    for (const auto& [operation, work] : guarded) {
        SCOPED_TRACE(operation);
        ExpectInactive(operation, work);
    }
    EXPECT_EQ(nullptr, stat._CurrParamName());
}

TEST(HttpPostStat, CopyOfAnInactiveInstanceIsInactive)
{
    Stat live;
    live._Activate(10, 5, 1, 0);
    live._Reset();
    const Stat copy(live);
    ExpectInactive("ActualTotalByte", [&] { copy.ActualTotalByte(); });
}

TEST(HttpPostStat, ActivationSetsTotalsAndNothingElse)
{
    Stat stat;
    stat._Activate(100, 60, 3, 1);
    EXPECT_EQ(100u, stat.ActualTotalByte());
    EXPECT_EQ(60u, stat._TotalByte());
    EXPECT_EQ(3u, stat.TotalCount());
    EXPECT_EQ(1u, stat.FileCount());
    EXPECT_EQ((Counters{0, 0, 0, 0, 0}), Read(stat));
    EXPECT_TRUE(stat.CurrParamIsComplete());
    EXPECT_FALSE(stat.CurrParamIsFile());
}

TEST(HttpPostStat, ReactivationForgetsThePreviousContext)
{
    Stat stat;
    stat._Activate(100, 60, 3, 1);
    stat._StartNewEntry(u"f", 10, true, u"/tmp/f.bin");
    stat._AddPostedBytes(4);
    stat._Activate(8, 3, 2, 0);
    EXPECT_EQ((Counters{0, 0, 0, 0, 0}), Read(stat));
    EXPECT_EQ(nullptr, stat._CurrParamName());
    EXPECT_FALSE(stat.CurrParamIsFile());
}

TEST(HttpPostStat, EntryWithEmptyContentIsCompleteAtOnce)
{
    Stat stat;
    stat._Activate(10, 0, 1, 0);
    stat._StartNewEntry(u"empty", 0, false, nullptr);
    EXPECT_EQ(1u, stat.PostedCount());
    EXPECT_EQ(0u, stat.CurrParamRemainByte());
    EXPECT_TRUE(stat.CurrParamIsComplete());
    EXPECT_EQ("empty", Text(stat._CurrParamName()));
}

TEST(HttpPostStat, FileFlagIsSetByAFileEntryAndClearedByThePlainOneAfterIt)
{
    Stat stat;
    stat._Activate(1000, 30, 2, 1);
    stat._StartNewEntry(u"ufile01", 20, true, u"/photos/p.jpg");
    EXPECT_TRUE(stat.CurrParamIsFile());
    EXPECT_EQ(1u, stat.PostedFileCount());
    EXPECT_EQ("/photos/p.jpg", Text(stat._CurrParamFilePath()));
    EXPECT_EQ(20u, stat.CurrParamRemainByte());
    EXPECT_FALSE(stat.CurrParamIsComplete());

    stat._StartNewEntry(u"caption", 10, false, u"ignored");
    EXPECT_FALSE(stat.CurrParamIsFile());
    EXPECT_EQ(nullptr, stat._CurrParamFilePath());
    EXPECT_EQ(1u, stat.PostedFileCount());
    EXPECT_EQ(2u, stat.PostedCount());
    EXPECT_EQ("caption", Text(stat._CurrParamName()));
    EXPECT_EQ(0u, stat.CurrParamPostedByte());
}

TEST(HttpPostStat, ContentBytesCountEverywhereSeparatorBytesOnlyInTheBody)
{
    Stat stat;
    stat._Activate(100, 10, 1, 0);
    stat._StartNewEntry(u"a", 10, false, nullptr);

    stat._AddActualPostedBytes(7);  // a part header
    EXPECT_EQ((Counters{7, 0, 0, 1, 0}), Read(stat));

    stat._AddPostedBytes(4);  // content: the writer counts it in the body as well
    stat._AddActualPostedBytes(4);
    EXPECT_EQ((Counters{11, 4, 4, 1, 0}), Read(stat));
    EXPECT_EQ(6u, stat.CurrParamRemainByte());

    stat._AddPostedBytes(6);
    stat._AddActualPostedBytes(6);
    EXPECT_TRUE(stat.CurrParamIsComplete());
    EXPECT_EQ(10u, stat._PostedByte());
}

TEST(HttpPostStat, NoWriteMayPassTheAnnouncedBody)
{
    Stat stat;
    stat._Activate(10, 4, 1, 0);
    stat._StartNewEntry(u"a", 4, false, nullptr);
    stat._AddActualPostedBytes(8);
    const Counters before = Read(stat);
    ExpectOverflow([&] { stat._TestAddActualPostedBytes(3); });
    ExpectOverflow([&] { stat._AddActualPostedBytes(3); });
    ExpectOverflow([&] { stat._AddPostedBytes(3); });
    EXPECT_EQ(before, Read(stat));
    stat._AddActualPostedBytes(2);
    EXPECT_EQ(10u, stat.ActualPostedByte());
}

TEST(HttpPostStat, NoContentWriteMayPassTheCurrentParameter)
{
    Stat stat;
    stat._Activate(100, 4, 1, 0);
    stat._StartNewEntry(u"a", 4, false, nullptr);
    stat._AddPostedBytes(3);
    const Counters before = Read(stat);
    ExpectOverflow([&] { stat._TestAddPostedBytes(2); });
    ExpectOverflow([&] { stat._AddPostedBytes(2); });
    EXPECT_EQ(before, Read(stat));
}

TEST(HttpPostStat, CountersRefuseToWrapAround32Bits)
{
    const DWORD max = std::numeric_limits<DWORD>::max();
    Stat stat;
    stat._Activate(max, max, 1, 0);
    stat._StartNewEntry(u"big", max, false, nullptr);
    stat._AddPostedBytes(max - 1);
    stat._AddActualPostedBytes(max - 1);
    const Counters before = Read(stat);
    ExpectOverflow([&] { stat._AddPostedBytes(2); });
    ExpectOverflow([&] { stat._TestAddActualPostedBytes(2); });
    EXPECT_EQ(before, Read(stat));
    stat._AddPostedBytes(1);
    EXPECT_EQ(max, stat._PostedByte());
}

TEST(HttpPostStat, CopyOntoItselfChangesNothing)
{
    Stat stat;
    stat._Activate(50, 20, 2, 1);
    stat._StartNewEntry(u"f", 20, true, u"/p.bin");
    stat._AddPostedBytes(5);
    const char16_t* const name = stat._CurrParamName();
    Stat& same = stat;
    stat = same;
    EXPECT_EQ(name, stat._CurrParamName());
    EXPECT_EQ("/p.bin", Text(stat._CurrParamFilePath()));
    EXPECT_EQ(5u, stat.CurrParamPostedByte());
    EXPECT_EQ(50u, stat.ActualTotalByte());
}

TEST(HttpPostStat, CopyOwnsItsTextsAndOutlivesTheSource)
{
    Stat source;
    source._Activate(50, 20, 2, 1);
    source._StartNewEntry(u"ufile01", 20, true, u"/photos/p.jpg");
    source._AddPostedBytes(5);

    Stat assigned;
    assigned._Activate(1, 1, 1, 0);
    assigned._StartNewEntry(u"old", 1, false, nullptr);
    assigned = source;
    const Stat constructed(source);
    source._Reset();

    for (const Stat* copy : std::vector<const Stat*>{&assigned, &constructed}) {
        EXPECT_EQ("ufile01", Text(copy->_CurrParamName()));
        EXPECT_EQ("/photos/p.jpg", Text(copy->_CurrParamFilePath()));
        EXPECT_TRUE(copy->CurrParamIsFile());
        EXPECT_EQ(50u, copy->ActualTotalByte());
        EXPECT_EQ(20u, copy->_TotalByte());
        EXPECT_EQ(2u, copy->TotalCount());
        EXPECT_EQ(1u, copy->FileCount());
        EXPECT_EQ((Counters{0, 5, 5, 1, 1}), Read(*copy));
        EXPECT_EQ(15u, copy->CurrParamRemainByte());
    }
    ExpectInactive("ActualTotalByte", [&] { source.ActualTotalByte(); });
}

}  // namespace
