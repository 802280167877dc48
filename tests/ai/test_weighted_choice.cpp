// The weighted choice: one candidate scored per step, truncated scores, the
// first maximum wins, and the noise drawn from the program's generator.
#include <CAITaskScheduler.h>
#include <CWeightedChoice.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Candidates are their own rule score; the template adds the noise.
class ScoreChoice : public CWeightedChoice<float> {
public:
    ScoreChoice(std::vector<float> scores, float initialBest, float amplitude = 0.0f, int32_t samples = 1,
                int32_t budget = 100000)
        : CWeightedChoice<float>(budget, initialBest, samples, amplitude), mScores(std::move(scores)) {}
    void Start(uint32_t now) override {
        mCandidates.reset(new CandidateArray(mScores));
        CAITask::Start(now);
    }
    float Evaluate(float candidate) override {
        ++mEvaluated;
        if (mOnEvaluate)
            mOnEvaluate();
        return candidate + CWeightedChoice<float>::Evaluate(candidate);
    }
    void RunToEnd() {
        Start(0);
        while (!IsFinished())
            Step();
    }
    int mEvaluated = 0;
    void (*mOnEvaluate)() = nullptr;

private:
    std::vector<float> mScores;
};

}  // namespace

TEST(WeightedChoice, FirstStrictMaximumOfTruncatedScoresWins) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<float> scores;
        float initialBest;
        int bestIndex;
        float bestScore;
    } cases[] = {
        {"3.9 5.2 5.7 2.0: truncation makes a tie", {3.9f, 5.2f, 5.7f, 2.0f}, 0.0f, 1, 5.0f},
        {"nothing above the initial 0", {-1.0f, -3.5f, 0.0f}, 0.0f, 0, 0.0f},
        {"-0.9 truncates to 0, not above 0", {-0.9f, 0.9f}, 0.0f, 0, 0.0f},
        {"throw parameters all at -150", {-150.0f, -150.0f, -150.0f}, -100.0f, 0, -100.0f},
        {"-99.5 truncates above -100", {-150.0f, -99.5f}, -100.0f, 1, -99.0f},
        {"not a number never leads", {nan, 2.0f, nan}, 0.0f, 1, 2.0f},
        {"out of the int range never leads", {1e20f, 3.0f, -1e20f}, 0.0f, 1, 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScoreChoice choice(c.scores, c.initialBest);
        choice.RunToEnd();
        EXPECT_EQ(choice.GetBestIndex(), c.bestIndex);
        EXPECT_EQ(choice.GetBestScore(), c.bestScore);
        EXPECT_EQ(choice.GetCurrentIndex(), static_cast<int32_t>(c.scores.size()));
        EXPECT_EQ(choice.mEvaluated, static_cast<int>(c.scores.size()));
    }
}

TEST(WeightedChoice, FinishedOnlyOnceStartedAndEveryCandidateScored) {
    ScoreChoice empty({}, 0.0f);
    EXPECT_FALSE(empty.IsFinished());   // not started
    empty.Start(0);
    EXPECT_TRUE(empty.IsFinished());    // an empty array finishes at once
    EXPECT_EQ(empty.GetBestIndex(), 0);
    EXPECT_EQ(empty.GetBest(), nullptr);
    empty.Step();                       // a stray step scores nothing
    EXPECT_EQ(empty.mEvaluated, 0);

    // Started without a candidate array (a derived Start that built none).
    struct NoArray : public CWeightedChoice<int> {
        NoArray() : CWeightedChoice<int>(10, 0.0f, 1, 0.0f) {}
    } none;
    none.Start(0);
    EXPECT_TRUE(none.IsFinished());
    none.Step();
    EXPECT_EQ(none.GetCurrentIndex(), 0);

    ScoreChoice two({1.0f, 2.0f}, 0.0f);
    two.Start(0);
    EXPECT_FALSE(two.IsFinished());
    two.Step();
    EXPECT_FALSE(two.IsFinished());
    two.Step();
    EXPECT_TRUE(two.IsFinished());
    ASSERT_NE(two.GetBest(), nullptr);
    EXPECT_EQ(*two.GetBest(), 2.0f);
}

namespace {
uint32_t gClock = 0;
uint32_t Clock() { return gClock; }
void Tick() { ++gClock; }
}  // namespace

TEST(WeightedChoice, TimedOutChoiceKeepsTheBestOfWhatItScored) {
    // 1 ms a candidate, a budget of 2 ms: two candidates are scored, the
    // better third one never is.
    CAITaskScheduler scheduler;
    gClock = 5000;
    scheduler.SetClock(&Clock);
    ScoreChoice choice({1.0f, 2.0f, 9.0f}, 0.0f, 0.0f, 1, 2);
    choice.mOnEvaluate = &Tick;
    choice.SetAverageStepTime(1.0f);
    scheduler.AddTask(&choice);
    scheduler.RunFrame();
    EXPECT_TRUE(choice.IsFinished());
    EXPECT_EQ(scheduler.GetTaskCount(), 0u);
    EXPECT_EQ(choice.mEvaluated, 2);
    EXPECT_EQ(choice.GetBestIndex(), 1);
    EXPECT_EQ(choice.GetBestScore(), 2.0f);
}

TEST(WeightedChoice, NoiseIsTheMeanOfScaledDraws) {
    // Without amplitude or samples there is no noise and no draw: the shared
    // sequence (which LAN peers keep in step) is not advanced.
    struct Case {
        float amplitude;
        int32_t samples;
    } silent[] = {{0.0f, 1}, {-3.0f, 1}, {10.0f, 0}, {10.0f, -2}};
    for (const Case& c : silent) {
        SCOPED_TRACE(testing::Message() << c.amplitude << " x " << c.samples);
        KemSrand(7);
        EXPECT_EQ(WeightedChoiceNoise(c.amplitude, c.samples), 0.0f);
        const int next = KemRand();
        KemSrand(7);
        EXPECT_EQ(next, KemRand());
    }

    // The runtime generator from seed 1: 41, 18467, 6334, 26500.
    KemSrand(1);
    EXPECT_FLOAT_EQ(WeightedChoiceNoise(20.0f, 1), static_cast<float>(41 / 32767.0 * 20.0));
    EXPECT_FLOAT_EQ(WeightedChoiceNoise(20.0f, 3),
                    static_cast<float>((18467 + 6334 + 26500) / 32767.0 * 20.0) / 3.0f);

    float low = 20.0f;
    float high = 0.0f;
    for (int i = 0; i < 5000; ++i) {
        const float noise = WeightedChoiceNoise(20.0f, 1);
        low = std::min(low, noise);
        high = std::max(high, noise);
    }
    EXPECT_GE(low, 0.0f);
    EXPECT_LE(high, 20.0f);
    EXPECT_LT(low, 0.1f);
    EXPECT_GT(high, 19.9f);
}

TEST(WeightedChoice, SeededNoisePicksExactly) {
    // Seed 1 draws 41, 18467, 6334, 26500, 19169: with amplitude 20 the
    // truncated scores are 0, 11, 3, 16, 11; the fourth candidate wins.
    KemSrand(1);
    ScoreChoice choice(std::vector<float>(5, 0.0f), 0.0f, 20.0f, 1);
    choice.RunToEnd();
    EXPECT_EQ(choice.GetBestIndex(), 3);
    EXPECT_EQ(choice.GetBestScore(), 16.0f);

    // The same seed gives the same pick (a LAN peer reseeded with 0 decides
    // as this machine does).
    std::vector<int> picks[2];
    for (std::vector<int>& run : picks) {
        KemSrand(0);
        for (int i = 0; i < 20; ++i) {
            ScoreChoice c({0.0f, 2.0f, 1.0f, 0.0f}, 0.0f, 10.0f, 2);
            c.RunToEnd();
            run.push_back(c.GetBestIndex());
        }
    }
    EXPECT_EQ(picks[0], picks[1]);
}

TEST(WeightedChoice, NoiseLetsAWeakerCandidateWinAsOftenAsItsOdds) {
    // Amplitude 10 against a rule advantage of 5: the first candidate keeps
    // the lead when floor(n1) >= 5 + floor(n2), 15 of the 100 equally likely
    // pairs (ties stay with the first).
    KemSrand(12345);
    const int runs = 4000;
    int firstWins = 0;
    for (int i = 0; i < runs; ++i) {
        ScoreChoice choice({0.0f, 5.0f}, -100.0f, 10.0f, 1);
        choice.RunToEnd();
        firstWins += choice.GetBestIndex() == 0;
    }
    EXPECT_NEAR(firstWins / static_cast<double>(runs), 0.15, 0.025);
}
