// The computer opponent's parameter file: every key read once, a missing key
// or file reading as 0.
#include "AITestUtil.h"

#include <AIParameters.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

TEST(AIParameters, TheShippedFileHoldsEveryKey) {
    AIParameters parameters(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
    int keys = 0;
    for (const char* const* name = AIParameters::KeyNames(); *name; ++name) {
        ++keys;
        EXPECT_TRUE(parameters.HasKey(*name)) << *name;
    }
    EXPECT_EQ(keys, 80);
    EXPECT_EQ(parameters.CountKnownKeys(), 80);

    EXPECT_EQ(parameters.base_strategy_max_time, 200);
    EXPECT_EQ(parameters.throw_param_choice_max_time, 400);
    EXPECT_EQ(parameters.gp_remaining_ball_diff_treshold, 2);
    EXPECT_FLOAT_EQ(parameters.coef_error_throw_parameters_choice, 2.0f);
    EXPECT_FLOAT_EQ(parameters.limit_dist_1, 0.05f);
    EXPECT_FLOAT_EQ(parameters.limit_angle_neutral, 90.0f);
    EXPECT_FLOAT_EQ(parameters.wp_non_approaching_strategies, -5.0f);
    EXPECT_FLOAT_EQ(parameters.WA_end_z1_plus, 30.0f);
    EXPECT_FLOAT_EQ(parameters.WT_ideal_ratio, 1.0f);
    EXPECT_FLOAT_EQ(parameters.wpcss_stressed_middle, 3.0f);
    // The behind-the-best-opposing-ball rules say "1 m" for my best ball and
    // "20 cm" for any other of mine: the distances must agree with the rules.
    EXPECT_FLOAT_EQ(parameters.dist_my_best_ball_behind_opp_best, 1.0f);
    EXPECT_FLOAT_EQ(parameters.dist_one_of_my_balls_behind_opp_best, 0.2f);
    // The target-ball choice has no keys: no noise and rules of weight 0.
    EXPECT_EQ(parameters.mPigThrowNoise, 0);
    EXPECT_EQ(parameters.mPigLongThrowWeight, 0.0f);
}

TEST(AIParameters, MissingKeysAndUnreadableValuesReadAsZero) {
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/ai_partial.cfg";
    {
        std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
        file << "# no base_strategy_max_time here\n"
                "throw_param_choice_max_time = 250.9\n"   // an int key reads its leading digits
                "pig_throw_max_time = soon\n"             // no digits at all
                "limit_dist_2: 0.125\n"
                "WA_straight\t7.5\n"
                "Limit_Dist_3 = 0.5\n";                   // keys match case included
    }
    AIParameters parameters(path);
    std::remove(path.c_str());
    EXPECT_EQ(parameters.base_strategy_max_time, 0);
    EXPECT_EQ(parameters.throw_param_choice_max_time, 250);
    EXPECT_EQ(parameters.pig_throw_max_time, 0);
    EXPECT_FLOAT_EQ(parameters.limit_dist_2, 0.125f);
    EXPECT_FLOAT_EQ(parameters.WA_straight, 7.5f);
    EXPECT_EQ(parameters.limit_dist_3, 0.0f);
    EXPECT_EQ(parameters.coef_error_base_strategy_choice, 0.0f);
    EXPECT_EQ(parameters.CountKnownKeys(), 4);
}

TEST(AIParameters, MissingFileLeavesEveryValueZero) {
    AIParameters parameters(std::string(KEM_TEST_BINARY_DIR) + "/no_such_dir/AI.cfg");
    EXPECT_EQ(parameters.GetCount(), 0u);
    EXPECT_EQ(parameters.base_strategy_max_time, 0);
    EXPECT_EQ(parameters.limit_dist_1, 0.0f);
    EXPECT_EQ(parameters.wpcss_stressed_middle, 0.0f);

    // Reading again from text fills the same block.
    LoadParameters(parameters, "base_strategy_max_time = 15\n");
    EXPECT_EQ(parameters.base_strategy_max_time, 15);
}
