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

// The result view on a 64 x 32 frame seen through a plain camera: x maps
// -1..1 across, y -1..1 up, depth by z (w = -z), the ground plane y = 0.
// The target ball at (0, 0, -2) lands in the middle, the thrown ball at
// (0.8, -0.4, -2) right and low.
const char kCamera[] = "camera\t1\t0\t0\t0\t0\t1\t0\t0\t0\t0\t-1\t0\t0\t0\t-1\t0\n";
std::string ResultNodes(float pointerY, float pointerScale, float thrownX) {
    return "node\tcochonnet\t1\t0\t0\t-2\t0.1\n"
           "node\tboule 3\t1\t" + std::to_string(thrownX) + "\t-0.4\t-2\t0.2\n"
           "node\tpointeur cochonnet\t1\t0\t" + std::to_string(pointerY) + "\t-2\t" +
           std::to_string(pointerScale) + "\n";
}
// The target ball's orange where the camera puts it.
void Target(int x, int y, uint8_t* p) {
    if (x >= 31 && x <= 33 && y >= 15 && y <= 17)
        Set(p, 230, 100, 30);
    // Its pointer, from y 0.2 to 2.2 over it.
    if (x >= 31 && x <= 33 && y >= 0 && y <= 12)
        Set(p, 255, 115, 25);
}

TEST_F(FrameChecks, ResultViewShowsTheTargetAndTheThrownBallClearOfTheFrames) {
    e2e::Frame frame;
    e2e::FrameLayout layout;
    const fs::path good = Save(Target, std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f));
    ASSERT_TRUE(frame.Load(good) && layout.Load(e2e::LayoutOf(good)));
    EXPECT_TRUE(e2e::ResultViewProblems(frame, layout, "boule 3").empty())
        << e2e::Describe(e2e::ResultViewProblems(frame, layout, "boule 3"));

    // Bare ground where the target ball should be; the thrown ball half out of
    // the picture; a result frame over the target ball; a pointer a few
    // pixels tall, through the ball.
    const struct {
        const char* what;
        std::function<void(int, int, uint8_t*)> draw;
        std::string layout;
    } faults[] = {
        {"no target ball", [](int, int, uint8_t*) {}, std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f)},
        {"thrown ball at the edge", Target, std::string(kCamera) + ResultNodes(1.2f, 2.0f, 2.0f)},
        {"under a frame", Target,
         std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f) +
             "overlay\tHUD/hud_lancer_result\t300\tHud_cadre_resultat\t-\t20\t10\t44\t24\tHUD/Panel\t0\t\n"},
        {"small pointer through the ball", Target, std::string(kCamera) + ResultNodes(0.0f, 0.2f, 0.8f)},
        {"no camera", Target, ResultNodes(1.2f, 2.0f, 0.8f)},
        {"pointer not drawn",
         [](int x, int y, uint8_t* p) {
             if (x >= 31 && x <= 33 && y >= 15 && y <= 17)
                 Set(p, 230, 100, 30);
         },
         std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f)},
    };
    for (const auto& fault : faults) {
        const fs::path png = Save(fault.draw, fault.layout);
        ASSERT_TRUE(frame.Load(png) && layout.Load(e2e::LayoutOf(png)));
        EXPECT_FALSE(e2e::ResultViewProblems(frame, layout, "boule 3").empty()) << fault.what;
    }
    // Aiming, the ball may hide under the aim line; its pointer may not.
    const fs::path aim = Save(
        [](int x, int y, uint8_t* p) {
            if (x >= 31 && x <= 33 && y >= 0 && y <= 12)
                Set(p, 255, 115, 25);
        },
        std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f));
    ASSERT_TRUE(frame.Load(aim) && layout.Load(e2e::LayoutOf(aim)));
    EXPECT_TRUE(e2e::AimViewProblems(frame, layout).empty()) << e2e::Describe(e2e::AimViewProblems(frame, layout));
    EXPECT_FALSE(e2e::ResultViewProblems(frame, layout, "boule 3").empty());
    // A window over the ball that the caller allows.
    const fs::path allowed = Save(Target, std::string(kCamera) + ResultNodes(1.2f, 2.0f, 0.8f) +
                                              "overlay\tHUD\t300\tHUD/Radar/PIG\t-\t20\t10\t44\t24\tHUD/P\t0\t\n");
    ASSERT_TRUE(frame.Load(allowed) && layout.Load(e2e::LayoutOf(allowed)));
    EXPECT_TRUE(e2e::ResultViewProblems(frame, layout, "boule 3", {"HUD/Radar/"}).empty());
}

TEST_F(FrameChecks, ThrowerLineIsNeverFainterThanTheOthersAndStaysInsideItsCaps) {
    auto line = [](const char* name, const char* font, int fontHeight, int textWidth, float alpha) {
        return std::string("window\t") + name + "\tTavirelo/Button\tFramePlayerName\t0\t0\t180\t17\t0\t0\t180\t17\t" +
               font + "\t" + std::to_string(textWidth) + "\t" + std::to_string(fontHeight) +
               "\t0\t0\tAda Verlune - Tireur\n" + "alpha\t" + name + "\t" + std::to_string(alpha) + "\n";
    };
    const struct {
        const char* what;
        std::string layout;
        size_t problems;
    } cases[] = {
        {"thrower at the blink's low point, others as faint",
         line("infosP1", "lucida-10", 15, 120, 0.5f) + line("infosP2", "lucida-8", 12, 100, 0.5f), 0},
        {"thrower fainter than the others",
         line("infosP1", "lucida-10", 15, 120, 0.5f) + line("infosP2", "lucida-8", 12, 100, 1.0f), 1},
        {"thrower's text over its end caps",
         line("infosP1", "lucida-10", 15, 170, 1.0f) + line("infosP2", "lucida-8", 12, 100, 0.5f), 1},
        {"thrower told by its blink, in the others' font, fainter than they",
         line("infosP1", "lucida-8", 12, 100, 0.5f) + line("infosP2", "lucida-8", 12, 100, 0.7f) + "blink\tinfosP1\n",
         1},
        {"a player without balls in a tiny font",
         line("infosP1", "lucida-10", 15, 120, 1.0f) + line("infosP2", "lucida-8", 12, 100, 0.5f) +
             line("infosP3", "lucida-6", 9, 70, 0.5f),
         1},
    };
    for (const auto& c : cases) {
        e2e::FrameLayout layout;
        std::ofstream(mDir / "l") << c.layout;
        ASSERT_TRUE(layout.Load(mDir / "l"));
        EXPECT_EQ(e2e::ThrowerLineProblems(layout).size(), c.problems)
            << c.what << "\n" << e2e::Describe(e2e::ThrowerLineProblems(layout));
    }
}

}  // namespace
// A menu's header rule at rows 12-13 and a window's border around the
// bottom right: a title whose letters lie across the rule, a label over the
// border, against the same title and label clear of both.
TEST_F(FrameChecks, FindsLabelsAndPicturesAcrossTheLinesThePictureDraws) {
    const std::vector<e2e::Box> rule = {{0, 12, 64, 14}};
    const std::vector<e2e::Box> border = e2e::BorderLines({36, 18, 62, 31}, 2);
    std::vector<e2e::Box> lines = rule;
    lines.insert(lines.end(), border.begin(), border.end());
    auto picture = [&](int titleTop, int labelLeft) {
        return [=](int x, int y, uint8_t* p) {
            const bool line = y == 12 || y == 13 || ((x == 36 || x == 37 || x == 60 || x == 61) && y >= 18 && y < 31) ||
                              ((y == 18 || y == 19 || y == 29 || y == 30) && x >= 36 && x < 62);
            if (line)
                Set(p, 20, 20, 30);
            // Letters: dark strokes every other column, 6 rows high.
            if (x >= 10 && x < 30 && y >= titleTop && y < titleTop + 6 && x % 2 == 0)
                Set(p, 240, 240, 240);
            if (x >= labelLeft && x < labelLeft + 10 && y >= 22 && y < 27 && x % 2 == 0)
                Set(p, 240, 240, 240);
        };
    };
    const std::string layout = "window\tFrameName\tTavirelo/StaticText\tRoot\t8\t4\t32\t20\t8\t4\t32\t20\t"
                               "lucida-11\t20\t8\t0\t0\tType de partie\n"
                               "window\tTextPowerBars\tTavirelo/StaticText\tRoot\t26\t21\t48\t28\t26\t21\t48\t28\t"
                               "lucida-7\t8\t6\t0\t0\tEquilibre\n";
    e2e::Frame frame;
    e2e::FrameLayout laid;
    const fs::path crossing = Save(picture(10, 32), layout);
    ASSERT_TRUE(frame.Load(crossing));
    ASSERT_TRUE(laid.Load(e2e::LayoutOf(crossing)));
    const std::vector<std::string> found = e2e::LabelCrossingProblems(frame, laid, lines);
    ASSERT_EQ(found.size(), 2u) << e2e::Describe(found);
    EXPECT_NE(found[0].find("FrameName"), std::string::npos);
    EXPECT_NE(found[1].find("TextPowerBars"), std::string::npos);
    // The label's strokes break the border's left side.
    EXPECT_FALSE(e2e::BrokenLineProblems(frame, border, "the preview's border").empty());

    const fs::path clear = Save(picture(4, 40), layout);
    ASSERT_TRUE(frame.Load(clear));
    ASSERT_TRUE(laid.Load(e2e::LayoutOf(clear)));
    EXPECT_TRUE(e2e::LabelCrossingProblems(frame, laid, lines).empty())
        << e2e::Describe(e2e::LabelCrossingProblems(frame, laid, lines));
    EXPECT_TRUE(e2e::BrokenLineProblems(frame, lines, "the lines").empty())
        << e2e::Describe(e2e::BrokenLineProblems(frame, lines, "the lines"));
}

