// The base strategy choice: which strategies a mene allows, the pointing
// base weight and the rules of each kind. Rule weights are distinct powers of
// two, so a score tells exactly which rules fired.
#include "AITestUtil.h"

#include <CBaseStrategyChoice.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char* const kWeights =
    // pointing base
    "wgp_opponent_score_0 = 1\nwgp_my_best_after_opp_best_1_z4 = 2\nwgp_my_best_after_opp_best_0 = 4\n"
    "wgp_remaining_ball_diff = 8\ngp_remaining_ball_diff_treshold = 2\n"
    // approach
    "wap_best_opponent_z2_minus_z34 = 16\nwap_opponent_no_remaining_balls_best_ball_z34 = 32\n"
    // push and stick
    "wp_non_approaching_strategies = 64\n"
    "wuo_opponent_holds_in_z_12_plus_or_neutral_and_i_have_1_left = 128\n"
    "wuo_opponent_holds_in_z_1_plus_or_neutral_and_remaining_ball_diff_2 = 256\n"
    "wum_opponent_holds_i_have_1_in_z23_plus_and_have_more_than_1_left = 512\n"
    "wto_opponent_holds_in_z_12_minus_and_i_have_1_ball_left = 1024\n"
    "wto_opponent_holds_in_z_1_minus_and_remaining_ball_diff_2 = 2048\n"
    "wtm_opponent_no_remaining_balls_i_hold_z12 = 4096\n"
    // shoot (no base weight, so its powers start again)
    "wso_opponent_holds = 1\nwso_best_opponent_z1_neutral = 2\nwso_best_opponent_z1_plus = 4\n"
    "wso_best_opponent_z1_minus = 8\nwso_best_opponent_z2_plus = 16\nwso_best_opponent_z2_neutral = 32\n"
    "wso_my_best_after_opp_best_1_exept_z34_minus = 64\nwso_my_best_after_opp_best_sup_1_and_1_z123 = 128\n"
    "wso_winable_match = 256\nwso_one_of_my_balls_behind_opp_best = 512\nwso_my_best_ball_behind_opp_best = 1024\n"
    "wso_remaining_ball_diff = 2048\nso_remaining_ball_diff_treshold = 2\n"
    "wso_opponent_no_remaining_balls_but_1_in_z1_and_i_have_more_than_1_ball = 4096\n"
    "dist_my_best_ball_behind_opp_best = 0.3\ndist_one_of_my_balls_behind_opp_best = 0.5\n";

struct Scenario {
    const char* name;
    Lane lane;
    int myLeft, opponentLeft, myScore, targetScore;
    float pointingBase;
    // candidate name -> expected score, in candidate order
    std::vector<std::pair<std::string, float>> scores;
    const char* chosen;
};

std::vector<Scenario> Scenarios() {
    using L = Lane;
    std::vector<Scenario> list;
    // Theirs holds 0.5 m in front of the target ball; mine lies 3 m off to
    // the side. One ball left against three.
    list.push_back({"opponent holds in Z1+, I have one ball", Lane().Theirs(10, L::At(0.5f, 0.0f)).Mine(1, L::At(3.0f, 100.0f)),
                    1, 3, 0, 13, 8.0f,
                    {{"Approche cochonnet", 8.0f},
                     {"Tirer meilleure boule adverse", 1.0f + 4.0f + 2048.0f},
                     {"Coller la meilleure boule adverse", 8.0f + 64.0f},
                     {"Pousser meilleure boule adverse", 8.0f + 64.0f + 128.0f + 256.0f},
                     {"Coller ma meilleure boule", 8.0f + 64.0f}},
                    "Tirer meilleure boule adverse"});
    // Theirs holds just behind the target ball; my two balls come next, the
    // nearer one pushable.
    list.push_back({"opponent holds in Z1-, I am two balls down",
                    Lane().Theirs(10, L::At(0.8f, 170.0f)).Mine(1, L::At(1.5f, 0.0f)).Mine(2, L::At(3.5f, 20.0f)),
                    1, 3, 0, 13, 8.0f,
                    {{"Approche cochonnet", 8.0f},
                     {"Tirer meilleure boule adverse", 1.0f + 8.0f + 128.0f + 2048.0f},
                     {"Coller la meilleure boule adverse", 8.0f + 64.0f + 1024.0f + 2048.0f},
                     {"Pousser meilleure boule adverse", 8.0f + 64.0f},
                     {"Coller ma meilleure boule", 8.0f + 64.0f},
                     {"Pousser une de mes boules", 8.0f + 64.0f}},
                    "Coller la meilleure boule adverse"});
    // I hold; the opponent has thrown everything.
    list.push_back({"I hold, the opponent is out of balls",
                    Lane().Mine(1, L::At(0.5f, 0.0f)).Theirs(10, L::At(2.5f, 60.0f)), 2, 0, 12, 13, 1.0f,
                    {{"Approche cochonnet", 1.0f},
                     {"Tirer meilleure boule adverse", 2048.0f},
                     {"Coller la meilleure boule adverse", 65.0f},
                     {"Pousser meilleure boule adverse", 65.0f},
                     {"Coller ma meilleure boule", 1.0f + 64.0f + 4096.0f}},
                    "Coller ma meilleure boule"});
    // Theirs holds behind the target ball with my two balls right behind it
    // on the same line; shooting it would win the match.
    list.push_back({"my balls lie behind theirs, the match is winnable",
                    Lane()
                        .Theirs(10, Ogre::Vector3(0.0f, 0.0f, -8.5f))
                        .Mine(1, Ogre::Vector3(0.0f, 0.0f, -8.7f))
                        .Mine(2, Ogre::Vector3(0.05f, 0.0f, -8.9f))
                        .Theirs(11, L::At(3.0f, 90.0f)),
                    1, 4, 11, 13, 8.0f,
                    {{"Approche cochonnet", 8.0f},
                     {"Tirer meilleure boule adverse", 1.0f + 8.0f + 128.0f + 256.0f + 1024.0f},
                     {"Coller la meilleure boule adverse", 8.0f + 64.0f + 1024.0f + 2048.0f},
                     {"Pousser meilleure boule adverse", 8.0f + 64.0f}},
                    "Coller la meilleure boule adverse"});
    // The opponent has nothing in play: only the approach, whatever it scores.
    list.push_back({"no ball in play", Lane(), 3, 3, 0, 13, 1.0f, {{"Approche cochonnet", 1.0f}}, "Approche cochonnet"});
    return list;
}

}  // namespace

TEST(BaseStrategyChoice, CandidatesAndRuleScoresOfAMene) {
    AIParameters parameters;
    LoadParameters(parameters, std::string(Lane::Limits()) + kWeights);
    for (Scenario& c : Scenarios()) {
        SCOPED_TRACE(c.name);
        c.lane.input.myBallsLeft = c.myLeft;
        c.lane.input.opponentBallsLeft = c.opponentLeft;
        c.lane.input.myScore = c.myScore;
        c.lane.input.targetScore = c.targetScore;
        AISituation situation(&parameters, c.lane.input);
        CBaseStrategyChoice choice(1000, &situation, &parameters, 0.0f);
        choice.Start(0);
        EXPECT_FLOAT_EQ(choice.GetPointingBaseWeight(), c.pointingBase);
        ASSERT_EQ(choice.GetCandidateCount(), c.scores.size());
        for (size_t i = 0; i < c.scores.size(); ++i) {
            const BaseStrategy candidate = (*choice.GetCandidates())[i];
            SCOPED_TRACE(candidate.name);
            EXPECT_EQ(candidate.name, c.scores[i].first);
            EXPECT_FLOAT_EQ(choice.Evaluate(candidate), c.scores[i].second);
        }
        while (!choice.IsFinished())
            choice.Step();
        EXPECT_EQ(choice.GetChosenStrategy().name, c.chosen);
    }
}

TEST(BaseStrategyChoice, ABallFurtherBehindOnlyCountsWithinItsOwnDistance) {
    // As in the winnable mene, but my best ball is too far behind theirs for
    // its rule; the next one of mine is near enough for the other.
    AIParameters parameters;
    // The first occurrence of a key wins.
    LoadParameters(parameters, std::string("dist_my_best_ball_behind_opp_best = 0.1\n") + Lane::Limits() + kWeights);
    Lane lane;
    lane.Theirs(10, Ogre::Vector3(0.0f, 0.0f, -8.5f))
        .Mine(1, Ogre::Vector3(0.0f, 0.0f, -8.7f))
        .Mine(2, Ogre::Vector3(0.05f, 0.0f, -8.9f))
        .Theirs(11, Lane::At(3.0f, 90.0f));
    lane.input.myBallsLeft = 1;
    lane.input.opponentBallsLeft = 4;
    lane.input.myScore = 11;
    lane.input.targetScore = 13;
    AISituation situation(&parameters, lane.input);
    CBaseStrategyChoice choice(1000, &situation, &parameters, 0.0f);
    choice.Start(0);
    ASSERT_GE(choice.GetCandidateCount(), 2u);
    EXPECT_FLOAT_EQ(choice.Evaluate((*choice.GetCandidates())[1]), 1.0f + 8.0f + 128.0f + 256.0f + 512.0f);
}

TEST(BaseStrategyChoice, WithoutWeightsOrNoiseTheApproachIsChosen) {
    AIParameters parameters;
    LoadParameters(parameters, Lane::Limits());
    Lane lane;
    lane.Theirs(10, Lane::At(0.5f, 0.0f)).Mine(1, Lane::At(1.5f, 0.0f)).Theirs(11, Lane::At(2.0f, 45.0f));
    AISituation situation(&parameters, lane.input);
    CBaseStrategyChoice choice(1000, &situation, &parameters, 0.0f);
    choice.Start(0);
    EXPECT_GT(choice.GetCandidateCount(), 3u);
    while (!choice.IsFinished())
        choice.Step();
    EXPECT_EQ(choice.GetBestIndex(), 0);
    const BaseStrategy chosen = choice.GetChosenStrategy();
    EXPECT_EQ(chosen.name, "Approche cochonnet");
    EXPECT_EQ(chosen.kind, BaseStrategy::KIND_APPROACH);
    EXPECT_EQ(chosen.ball, FakeBall(0));

    // Never started: no candidate array, the default approach.
    CBaseStrategyChoice idle(1000, &situation, &parameters, 0.0f);
    EXPECT_EQ(idle.GetChosenStrategy().name, "default");
    EXPECT_EQ(idle.GetChosenStrategy().ball, FakeBall(0));
}
