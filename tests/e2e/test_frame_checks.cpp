// The frame checks on small made-up frames: each fault they are to catch is
// drawn once, next to the finished look that must pass.
#include <FrameChecks.h>

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const int kW = 64, kH = 32;

class FrameChecks : public ::testing::Test {
protected:
    void SetUp() override {
        mDir = fs::path(KEM_TEST_BINARY_DIR) /
               ("frame_checks_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    // A frame of the ground colour with what draw paints, and its layout lines.
    fs::path Save(const std::function<void(int, int, uint8_t*)>& draw, const std::string& layout) {
        std::vector<uint8_t> rgb(size_t(kW) * kH * 3);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint8_t* p = &rgb[(size_t(y) * kW + x) * 3];
                p[0] = 90, p[1] = 120, p[2] = 60;
                draw(x, y, p);
            }
        const fs::path png = mDir / "frame.png";
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = kW;
        image.height = kH;
        image.format = PNG_FORMAT_RGB;
        EXPECT_TRUE(png_image_write_to_file(&image, png.c_str(), 0, rgb.data(), 0, nullptr));
        std::ofstream(e2e::LayoutOf(png)) << layout;
        return png;
    }
    fs::path mDir;
};

void Set(uint8_t* p, int r, int g, int b) { p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b); }

const char kBar[] = "overlay\tHUD\t500\tHud_balance_bar\t-\t8\t8\t56\t20\tHUD/BalanceBar\t0\t\n";
const char kButton[] =
    "window\tBtnCamPlus\tTavirelo/Button\tRoot\t8\t8\t40\t24\t8\t8\t40\t24\tlucida-10\t0\t10\t0\t0\t\n";

TEST_F(FrameChecks, FindsWarningStripesAndPassesAPlainBar) {
    const fs::path striped = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 8 && x < 56 && y >= 8 && y < 20)
                ((x + y) / 6) % 2 ? Set(p, 255, 255, 0) : Set(p, 0, 0, 0);
        },
        kBar);
    EXPECT_EQ(e2e::FrameProblems(striped).size(), 1u);
    const fs::path plain = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 8 && x < 56 && y >= 8 && y < 20)
                x < 40 ? Set(p, 255, 255, 0) : Set(p, 0, 0, 0);
        },
        kBar);
    // A filled bar beside its dark rest splits by columns, not in stripes.
    const fs::path split = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 8 && x < 56 && y >= 8 && y < 20)
                y < 14 ? Set(p, 255, 255, 0) : Set(p, 0, 0, 0);
        },
        kBar);
    EXPECT_TRUE(e2e::FrameProblems(plain).empty()) << e2e::Describe(e2e::FrameProblems(plain));
    EXPECT_TRUE(e2e::FrameProblems(split).empty()) << e2e::Describe(e2e::FrameProblems(split));
    // The material says it before any pixel does.
    const fs::path untextured = Save([](int, int, uint8_t*) {},
                                     "overlay\tHUD\t500\tHud_mental_bar\t-\t8\t8\t56\t20\tHUD/MentalBar\t1\t\n");
    EXPECT_EQ(e2e::FrameProblems(untextured).size(), 1u);
}

TEST_F(FrameChecks, FindsAButtonWithoutWordOrSign) {
    const fs::path blank = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 8 && x < 40 && y >= 8 && y < 24)
                Set(p, 10, 10, 10);
        },
        kButton);
    EXPECT_EQ(e2e::FrameProblems(blank).size(), 1u);
    const fs::path plus = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 8 && x < 40 && y >= 8 && y < 24)
                (x == 23 || x == 24 || y == 15 || y == 16) && x > 16 && x < 32 ? Set(p, 240, 240, 240)
                                                                               : Set(p, 10, 10, 10);
        },
        kButton);
    EXPECT_TRUE(e2e::FrameProblems(plus).empty()) << e2e::Describe(e2e::FrameProblems(plus));
    EXPECT_FALSE(e2e::FrameProblems(mDir / "none.png").empty());
}

TEST_F(FrameChecks, LayoutAllowsNestingButNotPartOverlapsOrTextsTooWide) {
    e2e::FrameLayout layout;
    std::ofstream(mDir / "l") << "overlay\tHUD\t500\tpanel\t-\t0\t0\t100\t50\tHUD/Panel\t0\t\n"
                                 "overlay\tHUD\t500\tface\tpanel\t10\t10\t40\t40\tHUD/Head\t0\t\n"
                                 "window\tinfosP1\tTavirelo/StaticText\tRoot\t45\t10\t95\t22\t45\t10\t95\t22\t"
                                 "lucida-8\t48\t11\t0\t0\tAda Verlune - Pointeur\n";
    ASSERT_TRUE(layout.Load(mDir / "l"));
    EXPECT_TRUE(e2e::LayoutProblems(layout).empty()) << e2e::Describe(e2e::LayoutProblems(layout));

    std::ofstream(mDir / "l") << "overlay\tHUD\t500\tpanel\t-\t0\t0\t100\t50\tHUD/Panel\t0\t\n"
                                 "overlay\tHUD\t500\tgauge\t-\t90\t0\t110\t80\tHUD/Gauge\t0\t\n"
                                 "overlay\tHUD\t500\tmarker\t-\t85\t10\t115\t14\tHUD/Marker\t0\t\n"
                                 "window\tinfosP1\tTavirelo/StaticText\tRoot\t45\t10\t85\t22\t45\t10\t85\t22\t"
                                 "lucida-10\t60\t14\t0\t0\tAda Verlune - Pointeur\n";
    ASSERT_TRUE(layout.Load(mDir / "l"));
    // The gauge crosses the panel's edge; the text is too wide and too high;
    // the marker may move over the gauge.
    EXPECT_EQ(e2e::LayoutProblems(layout, {"marker"}).size(), 3u) << e2e::Describe(e2e::LayoutProblems(layout));
}

}  // namespace
