// The computer opponent's parameters: the time budgets of its decision
// stages, its noise coefficients, the zone and angle limits of its situation
// analysis and the weights of its rules, from "../../mediaDemo/Config/AI.cfg".
// Each value is a field named exactly as its key (misspellings included).
// Times are milliseconds, distances metres, angles degrees.
#pragma once

#include <CConfigFileMap.h>

#include <cstdint>
#include <string>

// The keys in reading order: I for 32-bit int keys, F for float keys.
#define AI_PARAMETER_KEYS(I, F) \
    I(base_strategy_max_time) \
    I(throw_param_choice_max_time) \
    I(pig_throw_max_time) \
    I(player_choice_max_time) \
    F(coef_error_base_strategy_choice) \
    F(coef_error_throw_parameters_choice) \
    F(coef_error_pig_throw_choice) \
    F(coef_error_player_choice) \
    F(limit_dist_1) \
    F(limit_dist_2) \
    F(limit_dist_3) \
    F(limit_angle_plus) \
    F(limit_angle_neutral) \
    F(wp_non_approaching_strategies) \
    F(wgp_opponent_score_0) \
    F(wgp_my_best_after_opp_best_0) \
    F(wgp_my_best_after_opp_best_1_z4) \
    F(wgp_remaining_ball_diff) \
    I(gp_remaining_ball_diff_treshold) \
    F(wap_best_opponent_z2_minus_z34) \
    F(wap_opponent_no_remaining_balls_best_ball_z34) \
    F(wtm_opponent_no_remaining_balls_i_hold_z12) \
    F(wto_opponent_holds_in_z_12_minus_and_i_have_1_ball_left) \
    F(wto_opponent_holds_in_z_1_minus_and_remaining_ball_diff_2) \
    F(wuo_opponent_holds_in_z_12_plus_or_neutral_and_i_have_1_left) \
    F(wuo_opponent_holds_in_z_1_plus_or_neutral_and_remaining_ball_diff_2) \
    F(wum_opponent_holds_i_have_1_in_z23_plus_and_have_more_than_1_left) \
    F(wso_opponent_holds) \
    F(wso_best_opponent_z1_neutral) \
    F(wso_best_opponent_z1_plus) \
    F(wso_best_opponent_z1_minus) \
    F(wso_best_opponent_z2_plus) \
    F(wso_best_opponent_z2_neutral) \
    F(wso_my_best_after_opp_best_1_exept_z34_minus) \
    F(wso_my_best_after_opp_best_sup_1_and_1_z123) \
    F(wso_winable_match) \
    F(wso_one_of_my_balls_behind_opp_best) \
    F(wso_my_best_ball_behind_opp_best) \
    F(dist_one_of_my_balls_behind_opp_best) \
    F(dist_my_best_ball_behind_opp_best) \
    F(wso_remaining_ball_diff) \
    I(so_remaining_ball_diff_treshold) \
    F(wso_opponent_no_remaining_balls_but_1_in_z1_and_i_have_more_than_1_ball) \
    F(WA_straight) \
    F(WA_end_z1_plus) \
    F(WA_end_z1) \
    F(WA_end_z1_minus) \
    F(WA_end_z2_plus) \
    F(WA_end_z2) \
    F(WA_end_z2_minus) \
    F(WA_end_z3_plus) \
    F(WA_end_z3) \
    F(WA_end_z3_minus) \
    F(WA_path_intersection_level_1) \
    F(WA_path_intersection_level_2) \
    F(WA_red) \
    F(WA_orange) \
    F(WA_yellow) \
    F(WP_ideal_ratio) \
    F(WP_path_intersection_level_1) \
    F(WP_path_intersection_level_2) \
    F(WP_red) \
    F(WP_orange) \
    F(WP_yellow) \
    F(WT_ideal_ratio) \
    F(WT_path_intersection_level_1) \
    F(WT_path_intersection_level_2) \
    F(WT_red) \
    F(WT_orange) \
    F(WT_yellow) \
    F(wpcpp_both_one_ball) \
    F(wpcmp_middle_more_than_one_ball) \
    F(wpcpp_more_than_6_m) \
    F(wpcpm_more_than_6_m_best_opponent_more_than_30_cm) \
    F(wpcpm_first_ball_played) \
    F(wpcpp_exhausted_middle) \
    F(wpcss_both_one_ball) \
    F(wpcms_middle_more_than_one_ball) \
    F(wpcss_more_than_7_m) \
    F(wpcss_stressed_middle)

// The file the referee loads, relative to the working directory.
extern const char AI_PARAMETERS_DEFAULT_PATH[];

class AIParameters : public CConfigFileMap {
public:
    // Every value 0, empty map.
    AIParameters();
    // Loads the file and reads every key once; a missing key reads as 0. A
    // file that cannot be read is logged and leaves every value 0.
    explicit AIParameters(const std::string& path);

    // Reads every key from the map again (after LoadFromString, say).
    void ReadValues();

    // How many of the keys the map holds (all of them for a complete file).
    int CountKnownKeys() const;
    // The key names in reading order, null-terminated.
    static const char* const* KeyNames();

#define AI_PARAMETER_DECLARE_INT(name) int32_t name = 0;
#define AI_PARAMETER_DECLARE_FLOAT(name) float name = 0.0f;
    AI_PARAMETER_KEYS(AI_PARAMETER_DECLARE_INT, AI_PARAMETER_DECLARE_FLOAT)
#undef AI_PARAMETER_DECLARE_INT
#undef AI_PARAMETER_DECLARE_FLOAT

    // The target-ball choice's noise amplitude and weights. No key fills
    // them: they stay 0, so that choice takes its first candidate.
    int32_t mPigThrowNoise = 0;
    float mPigLongThrowWeight = 0.0f;
    float mPigPointingAdvantageWeight = 0.0f;
    float mPigPointingDisadvantageWeight = 0.0f;
    float mPigShootingAdvantageWeight = 0.0f;
    float mPigShootingDisadvantageWeight = 0.0f;
};
