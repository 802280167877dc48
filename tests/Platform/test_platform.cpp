// The platform stand-in: the MSVC-compatible generator, path fixing, bounded
// formatting, the numeric locale and the event queue.
#include <Platform.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static std::vector<int> Draw(int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(KemRand());
    return out;
}

// Must run first in this program: the generator's seed is 1 until seeded.
TEST(PlatRandom, A_DefaultSeedIsOne) {
    std::vector<int> unseeded = Draw(5);
    EXPECT_EQ(unseeded, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
    KemSrand(1);
    EXPECT_EQ(Draw(5), unseeded);
}

TEST(PlatRandom, SeedOneGivesTheMsvcSequence) {
    KemSrand(1);
    EXPECT_EQ(Draw(5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
    // And it goes on as MSVC's rand() does.
    EXPECT_EQ(Draw(5), (std::vector<int>{15724, 11478, 29358, 26962, 24464}));
}

TEST(PlatRandom, ReseedingWithZeroRepeats) {
    KemSrand(0);
    std::vector<int> first = Draw(20);
    EXPECT_EQ(first[0], 38);   // MSVC srand(0): 38, 7719, 21238, ...
    EXPECT_EQ(first[1], 7719);
    EXPECT_EQ(first[2], 21238);
    Draw(7);
    KemSrand(0);
    EXPECT_EQ(Draw(20), first);
}

TEST(PlatRandom, ValuesStayWithinRandMax) {
    KemSrand(12345);
    for (int i = 0; i < 100000; ++i) {
        int v = KemRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, KEM_RAND_MAX);
    }
    EXPECT_EQ(KEM_RAND_MAX, 32767);
}

TEST(PlatPaths, FixPathTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(PlatFixPath("..\\..\\mediaDemo\\LUA\\"), "../../mediaDemo/LUA/");
    EXPECT_EQ(PlatFixPath("..\\..\\media\\GameSav\\CUP_1.sav"), "../../media/GameSav/CUP_1.sav");
    EXPECT_EQ(PlatFixPath("../../mediaDemo/Config/"), "../../mediaDemo/Config/");
    EXPECT_EQ(PlatFixPath("a\\\\b"), "a//b");
    EXPECT_EQ(PlatFixPath(""), "");
}

TEST(PlatPaths, FileExistsThroughBackslashPaths) {
    EXPECT_TRUE(PlatFileExists("/proc/self/status") || PlatFileExists("/etc/hostname") || PlatFileExists("/etc/passwd"));
    EXPECT_FALSE(PlatFileExists("/no/such/file"));
    EXPECT_FALSE(PlatFileExists("/tmp"));   // a directory is not a file
    EXPECT_TRUE(PlatFileExists("\\etc\\passwd"));
}

TEST(PlatFormatTest, TruncatesAndAlwaysTerminates) {
    char buf[8];
    memset(buf, 'Z', sizeof(buf));
    int n = PlatFormat(buf, sizeof(buf), "%s-%d", "abcdef", 12345);
    EXPECT_STREQ(buf, "abcdef-");
    EXPECT_EQ(n, 7);
    n = PlatFormat(buf, sizeof(buf), "%d", 42);
    EXPECT_STREQ(buf, "42");
    EXPECT_EQ(n, 2);
    char one[1] = {'Q'};
    EXPECT_EQ(PlatFormat(one, 1, "%s", "long"), 0);
    EXPECT_EQ(one[0], 0);
    EXPECT_EQ(PlatFormat(nullptr, 10, "x"), 0);
    char guard[16];
    memset(guard, 'G', sizeof(guard));
    PlatFormat(guard, 4, "%s", "0123456789");   // only the first 4 bytes written
    EXPECT_STREQ(guard, "012");
    EXPECT_EQ(guard[4], 'G');
    EXPECT_EQ(guard[15], 'G');
}

namespace {
std::vector<std::string> gLines;
void Sink(const char* line) { gLines.push_back(line); }
}  // namespace

TEST(PlatLogTest, LongLinesAreTruncatedNotOverflowed) {
    gLines.clear();
    PlatSetLogSink(&Sink);
    std::string big(10000, 'L');
    PlatLog("%s", big.c_str());
    PlatSetLogSink(nullptr);
    ASSERT_EQ(gLines.size(), 1u);
    EXPECT_LT(gLines[0].size(), big.size());
    EXPECT_EQ(gLines[0], std::string(gLines[0].size(), 'L'));
}

TEST(PlatLogTest, SilencedLogWritesNothing) {
    gLines.clear();
    PlatSetLogSink(&Sink);
    PlatSetLogSilent(true);
    testing::internal::CaptureStderr();
    PlatLog("rejected input %d", 1);
    const std::string err = testing::internal::GetCapturedStderr();
    PlatSetLogSilent(false);
    PlatLog("heard");
    PlatSetLogSink(nullptr);
    EXPECT_EQ(err, "");
    ASSERT_EQ(gLines.size(), 1u);
    EXPECT_EQ(gLines[0], "heard");
}

TEST(PlatMessageBoxTest, NeverBlocksWhenNotInteractive) {
    gLines.clear();
    PlatSetLogSink(&Sink);
    PlatSetMessageBoxInteractive(false);
    EXPECT_FALSE(PlatMessageBoxIsInteractive());
    PlatMessageBox("DInput Error", "no keyboard");
    PlatSetLogSink(nullptr);
    ASSERT_EQ(gLines.size(), 1u);
    EXPECT_EQ(gLines[0], "[DInput Error] no keyboard");
}

TEST(PlatLocale, NumericLocaleIsC) {
    PlatInit();
    EXPECT_DOUBLE_EQ(atof("0.5"), 0.5);
    EXPECT_STREQ(setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(PlatClock, MonotonicAndSleeps) {
    uint32_t a = PlatGetTimeMs();
    double s = PlatGetTimeSeconds();
    PlatSleep(3);
    EXPECT_GE(int32_t(PlatGetTimeMs() - a), 2);
    EXPECT_GT(PlatGetTimeSeconds(), s);
    EXPECT_NE(PlatCurrentThreadId(), 0u);
}

TEST(PlatCriticalSectionTest, IsRecursive) {
    PlatCriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    cs.Leave();
}

TEST(PlatEvents, QueueIsFifoAndDispatchGoesToTheDispatcher) {
    PlatClearEvents();
    static std::vector<uint32_t> seen;
    seen.clear();
    PlatSetEventDispatcher([](const PlatEvent& ev) { seen.push_back(ev.wParam); });
    for (uint32_t i = 1; i <= 3; ++i) {
        PlatEvent ev;
        ev.type = PLAT_EV_CHAR;
        ev.wParam = i;
        PlatPushEvent(ev);
    }
    PlatEvent ev;
    while (PlatPeekEvent(ev))
        PlatDispatchEvent(ev);
    EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_FALSE(PlatPeekEvent(ev));
    PlatSetEventDispatcher(nullptr);
    PlatDispatchEvent(ev);   // no dispatcher: nothing
}
