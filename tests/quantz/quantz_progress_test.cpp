// Progress reports: whole percentages from 0 to 100 that never go back, about one per percent, on
// the calling thread only, and none at all when no function is registered.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "quantz_test_image.h"

namespace {

std::vector<int> g_reports;
std::vector<std::thread::id> g_threads;

int Record(int percent) {
    g_reports.push_back(percent);
    g_threads.push_back(std::this_thread::get_id());
    return 0;
}

struct ProgressScope {
    ProgressScope() {
        g_reports.clear();
        g_threads.clear();
        SetProgressFunction(Record);
    }
    ~ProgressScope() { SetProgressFunction(nullptr); }
};

Rgb Busy(int x, int y) {
    return Rgb{uint8_t(x * 7 + y), uint8_t(x * y), uint8_t(255 - 3 * y + x)};
}

}  // namespace

// Also for an image large enough for a helper thread, which must never report.
TEST(QuantzProgress, RisesFromZeroToHundredForEveryMethodPair) {
    struct Run {
        MethodPair m;
        int width, height;
    };
    std::vector<Run> runs;
    for (const MethodPair m : AllMethodPairs()) runs.push_back({m, 300, 200});
    for (int dither : {1, 2}) runs.push_back({MethodPair{1, dither}, 1024, 1024});
    for (const Run& run : runs) {
        const MethodPair m = run.m;
        ProgressScope scope;
        InputImage input(run.width, run.height, Busy);
        ASSERT_TRUE(Reduced(input, m.palette, m.dither));
        SCOPED_TRACE(testing::Message() << "palette " << m.palette << " dither " << m.dither);
        ASSERT_GE(g_reports.size(), 2u);
        EXPECT_EQ(g_reports.front(), 0);
        EXPECT_EQ(g_reports.back(), 100);
        for (size_t i = 1; i < g_reports.size(); ++i) {
            EXPECT_GT(g_reports[i], g_reports[i - 1]) << i;  // rising, each percentage once
            EXPECT_LE(g_reports[i] - g_reports[i - 1], 2) << "a smooth bar";
        }
        for (std::thread::id id : g_threads)
            EXPECT_EQ(id, std::this_thread::get_id());
    }
}

// Tiny images still start at 0 and end at 100; a conversion run on another thread reports on
// that thread.
TEST(QuantzProgress, SmallImagesAndOtherThreads) {
    {
        ProgressScope scope;
        InputImage input(1, 1, Busy);
        ASSERT_TRUE(Reduced(input, 1, 2));
        ASSERT_GE(g_reports.size(), 2u);
        EXPECT_EQ(g_reports.front(), 0);
        EXPECT_EQ(g_reports.back(), 100);
        EXPECT_TRUE(std::is_sorted(g_reports.begin(), g_reports.end()));
    }
    ProgressScope scope;
    std::thread::id worker;
    std::thread thread([&] {
        worker = std::this_thread::get_id();
        InputImage input(40, 30, Busy);
        EXPECT_TRUE(Reduced(input, 2, 0));
    });
    thread.join();
    ASSERT_FALSE(g_reports.empty());
    for (std::thread::id id : g_threads)
        EXPECT_EQ(id, worker);
}

TEST(QuantzProgress, NothingIsCalledWithoutAFunctionOrForRefusedInput) {
    ProgressScope scope;
    InputImage input(50, 20, Busy);
    input.header().biBitCount = 8;
    EXPECT_FALSE(Reduced(input, 1, 0));
    EXPECT_FALSE(Reduced(input, 1, 7));
    EXPECT_TRUE(g_reports.empty());

    input.header().biBitCount = 24;
    SetProgressFunction(nullptr);
    for (const MethodPair m : AllMethodPairs())
        EXPECT_TRUE(Reduced(input, m.palette, m.dither));
    EXPECT_TRUE(g_reports.empty());

    SetProgressFunction(Record);  // registered again: reported again
    EXPECT_TRUE(Reduced(input, 0, 0));
    EXPECT_FALSE(g_reports.empty());
}
