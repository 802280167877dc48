// Our own "mediaDemo/Config" files: every key the code reads is there with a
// well-formed value, divisors are not 0, and penalties and bonuses have their
// signs. Catches a key missing from, or misspelled in, the media.
#include "TuningTestUtil.h"

#include <CConfigFileMap.h>
#include <TuningLoader.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

CConfigFileMap LoadMedia(const std::string& name) {
    return CConfigFileMap(tuning_test::SourceMediaConfig() + name);
}

bool IsWholeNumber(const std::string& text, bool integer) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    if (integer)
        std::strtol(text.c_str(), &end, 10);
    else
        std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0';
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The keys of every line of a file, duplicates included (the map keeps one).
std::vector<std::string> KeysOfFile(const std::string& name) {
    std::vector<std::string> keys;
    std::ifstream in(tuning_test::SourceMediaConfig() + name);
    std::string line;
    while (std::getline(in, line)) {
        CConfigFileMap one;
        one.LoadFromString(line);
        for (const auto& entry : one.GetEntries())
            keys.push_back(entry.first);
    }
    return keys;
}

void CheckFileAgainstKeys(const std::string& name, const std::vector<TuningKeyInfo>& keys) {
    SCOPED_TRACE(name);
    const CConfigFileMap map = LoadMedia(name);
    std::set<std::string> known;
    for (const TuningKeyInfo& key : keys) {
        known.insert(key.key);
        SCOPED_TRACE(key.key);
        ASSERT_TRUE(map.HasKey(key.key)) << "missing key";
        const std::string value = map.GetString(key.key, "");
        switch (key.type) {
        case TUNING_KEY_BOOL: {
            const std::set<std::string> words = {"yes", "no", "true", "false", "1", "0"};
            EXPECT_TRUE(words.count(value)) << value;
            break;
        }
        case TUNING_KEY_INT: EXPECT_TRUE(IsWholeNumber(value, true)) << value; break;
        case TUNING_KEY_FLOAT: EXPECT_TRUE(IsWholeNumber(value, false)) << value; break;
        case TUNING_KEY_TEXT: EXPECT_FALSE(value.empty()); break;
        }
    }
    // Nothing else, and nothing twice: an unknown key is a misspelling.
    std::set<std::string> seen;
    for (const std::string& key : KeysOfFile(name)) {
        EXPECT_TRUE(known.count(key)) << "key the code does not read: " << key;
        EXPECT_TRUE(seen.insert(key).second) << "key written twice: " << key;
    }
}

// The 80 keys, in table order.
const std::vector<std::pair<const char*, bool>>& AIKeys() {   // (key, is int)
    static const std::vector<std::pair<const char*, bool>> keys = {
        {"base_strategy_max_time", true}, {"throw_param_choice_max_time", true},
        {"pig_throw_max_time", true}, {"player_choice_max_time", true},
        {"coef_error_base_strategy_choice", false}, {"coef_error_throw_parameters_choice", false},
        {"coef_error_pig_throw_choice", false}, {"coef_error_player_choice", false},
        {"limit_dist_1", false}, {"limit_dist_2", false}, {"limit_dist_3", false},
        {"limit_angle_plus", false}, {"limit_angle_neutral", false},
        {"wp_non_approaching_strategies", false}, {"wgp_opponent_score_0", false},
        {"wgp_my_best_after_opp_best_0", false}, {"wgp_my_best_after_opp_best_1_z4", false},
        {"wgp_remaining_ball_diff", false}, {"gp_remaining_ball_diff_treshold", true},
        {"wap_best_opponent_z2_minus_z34", false},
        {"wap_opponent_no_remaining_balls_best_ball_z34", false},
        {"wtm_opponent_no_remaining_balls_i_hold_z12", false},
        {"wto_opponent_holds_in_z_12_minus_and_i_have_1_ball_left", false},
        {"wto_opponent_holds_in_z_1_minus_and_remaining_ball_diff_2", false},
        {"wuo_opponent_holds_in_z_12_plus_or_neutral_and_i_have_1_left", false},
        {"wuo_opponent_holds_in_z_1_plus_or_neutral_and_remaining_ball_diff_2", false},
        {"wum_opponent_holds_i_have_1_in_z23_plus_and_have_more_than_1_left", false},
        {"wso_opponent_holds", false}, {"wso_best_opponent_z1_neutral", false},
        {"wso_best_opponent_z1_plus", false}, {"wso_best_opponent_z1_minus", false},
        {"wso_best_opponent_z2_plus", false}, {"wso_best_opponent_z2_neutral", false},
        {"wso_my_best_after_opp_best_1_exept_z34_minus", false},
        {"wso_my_best_after_opp_best_sup_1_and_1_z123", false}, {"wso_winable_match", false},
        {"wso_one_of_my_balls_behind_opp_best", false}, {"wso_my_best_ball_behind_opp_best", false},
        {"dist_one_of_my_balls_behind_opp_best", false}, {"dist_my_best_ball_behind_opp_best", false},
        {"wso_remaining_ball_diff", false}, {"so_remaining_ball_diff_treshold", true},
        {"wso_opponent_no_remaining_balls_but_1_in_z1_and_i_have_more_than_1_ball", false},
        {"WA_straight", false}, {"WA_end_z1_plus", false}, {"WA_end_z1", false},
        {"WA_end_z1_minus", false}, {"WA_end_z2_plus", false}, {"WA_end_z2", false},
        {"WA_end_z2_minus", false}, {"WA_end_z3_plus", false}, {"WA_end_z3", false},
        {"WA_end_z3_minus", false}, {"WA_path_intersection_level_1", false},
        {"WA_path_intersection_level_2", false}, {"WA_red", false}, {"WA_orange", false},
        {"WA_yellow", false}, {"WP_ideal_ratio", false}, {"WP_path_intersection_level_1", false},
        {"WP_path_intersection_level_2", false}, {"WP_red", false}, {"WP_orange", false},
        {"WP_yellow", false}, {"WT_ideal_ratio", false}, {"WT_path_intersection_level_1", false},
        {"WT_path_intersection_level_2", false}, {"WT_red", false}, {"WT_orange", false},
        {"WT_yellow", false}, {"wpcpp_both_one_ball", false}, {"wpcmp_middle_more_than_one_ball", false},
        {"wpcpp_more_than_6_m", false}, {"wpcpm_more_than_6_m_best_opponent_more_than_30_cm", false},
        {"wpcpm_first_ball_played", false}, {"wpcpp_exhausted_middle", false},
        {"wpcss_both_one_ball", false}, {"wpcms_middle_more_than_one_ball", false},
        {"wpcss_more_than_7_m", false}, {"wpcss_stressed_middle", false},
    };
    return keys;
}

}  // namespace

TEST(TuningMedia, EveryTuningFileHoldsEveryKeyItsCodeReads) {
    for (int set = 0; set < TUNING_SET_COUNT; ++set)
        CheckFileAgainstKeys(TuningGetFileName(static_cast<TuningSet>(set)),
                             TuningGetKeys(static_cast<TuningSet>(set)));
}

TEST(TuningMedia, AIFileHoldsThe80Parameters) {
    ASSERT_EQ(AIKeys().size(), 80u);
    std::vector<TuningKeyInfo> keys;
    for (const auto& key : AIKeys())
        keys.push_back({key.first, key.second ? TUNING_KEY_INT : TUNING_KEY_FLOAT});
    CheckFileAgainstKeys("AI.cfg", keys);
    const CConfigFileMap map = LoadMedia("AI.cfg");
    EXPECT_GT(map.GetInt("base_strategy_max_time", 0), 0);
    EXPECT_GT(map.GetInt("throw_param_choice_max_time", 0), 0);
    EXPECT_GT(map.GetInt("pig_throw_max_time", 0), 0);
    EXPECT_LT(map.GetFloat("limit_dist_1", 0), map.GetFloat("limit_dist_2", 0));
    EXPECT_LT(map.GetFloat("limit_dist_2", 0), map.GetFloat("limit_dist_3", 0));
    EXPECT_LT(map.GetFloat("limit_angle_plus", 0), map.GetFloat("limit_angle_neutral", 0));
}

TEST(TuningMedia, MenuSoundsNameFourSounds) {
    CheckFileAgainstKeys("MenuSounds.cfg", {{"MenuSndValid", TUNING_KEY_TEXT},
                                            {"MenuSndCancel", TUNING_KEY_TEXT},
                                            {"MenuSndError", TUNING_KEY_TEXT},
                                            {"MenuSndInfo", TUNING_KEY_TEXT}});
}

TEST(TuningMedia, DivisorsAreNotZero) {
    const CConfigFileMap tavirelo = LoadMedia("tavirelo.cfg");
    for (const TuningKeyInfo& key : TuningGetKeys(TUNING_TAVIRELO)) {
        if (StartsWith(key.key, "TEMPS_JAUGE_")) {
            EXPECT_GT(tavirelo.GetFloat(key.key, 0.0f), 0.0f) << key.key;
        }
    }
    EXPECT_GT(tavirelo.GetFloat("DIST_ENTRE_GRADUATION", 0.0f), 0.0f);

    const CConfigFileMap sound = LoadMedia("DefaultContextSound.cfg");
    for (const char* family : {"HitBall", "HitGround", "RollGround"}) {
        SCOPED_TRACE(family);
        const float low = sound.GetFloat(std::string(family) + "VelocityMin", 0.0f);
        const float high = sound.GetFloat(std::string(family) + "VelocityMax", 0.0f);
        EXPECT_GE(low, 0.0f);
        EXPECT_GT(high, low);
        EXPECT_NE(high * high, low * low);
        EXPECT_LE(sound.GetFloat(std::string(family) + "GainMin", 0.0f),
                  sound.GetFloat(std::string(family) + "GainMax", 0.0f));
        EXPECT_GT(sound.GetFloat(std::string(family) + "PitchMin", 0.0f), 0.0f);
    }
}

TEST(TuningMedia, PenaltiesNegativeBonusesPositive) {
    const CConfigFileMap tavirelo = LoadMedia("tavirelo.cfg");
    int checked = 0;
    for (const TuningKeyInfo& key : TuningGetKeys(TUNING_TAVIRELO)) {
        const std::string name = key.key;
        if (StartsWith(name, "MALUS_")) {
            EXPECT_LT(tavirelo.GetFloat(name, 0.0f), 0.0f) << name;
            ++checked;
        } else if (StartsWith(name, "BONUS_") || StartsWith(name, "RECUPERATION_")) {
            EXPECT_GT(tavirelo.GetFloat(name, 0.0f), 0.0f) << name;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 29);
}

TEST(TuningMedia, RangesAreOrdered) {
    const CConfigFileMap t = LoadMedia("tavirelo.cfg");
    EXPECT_LT(t.GetInt("ANGLE_MIN_POINTE", 0), t.GetInt("ANGLE_MAX_POINTE", 0));
    EXPECT_LT(t.GetInt("ANGLE_MIN_TIR", 0), t.GetInt("ANGLE_MAX_TIR", 0));
    EXPECT_LT(t.GetFloat("DIST_REUSSITE_POINTE", 0), t.GetFloat("DIST_ECHEC_POINTE", 0));
    // s below SEUIL2 is also below SEUIL1: both effect penalties may apply.
    EXPECT_GT(t.GetInt("SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS", 0),
              t.GetInt("SEUIL2_PHUYSIQUE_MENTAL_MALUS_EFFETS", 0));
    for (const char* level : {"FACILE", "MOYEN", "DIFFICILE"})
        EXPECT_GT(t.GetFloat(std::string("TEMPS_JAUGE_EQUILIBRE_VERT_") + level, 0),
                  t.GetFloat(std::string("TEMPS_JAUGE_EQUILIBRE_ROUGE_") + level, 0));
    const CConfigFileMap p = LoadMedia("PhysicTricksEffects.cfg");
    for (const char* key : {"RetroBrakeFactor", "LateralBrakeFactor"}) {
        EXPECT_GT(p.GetFloat(key, -1), 0.0f) << key;
        EXPECT_LE(p.GetFloat(key, 2), 1.0f) << key;
    }
}

TEST(TuningMedia, SoundNamesAreWaveFiles) {
    const CConfigFileMap sound = LoadMedia("DefaultContextSound.cfg");
    const CConfigFileMap menu = LoadMedia("MenuSounds.cfg");
    std::vector<std::string> names;
    for (const char* key : {"HitGround", "HitBall", "HitWall", "Roll"})
        names.push_back(sound.GetString(key, ""));
    for (const char* key : {"MenuSndValid", "MenuSndCancel", "MenuSndError", "MenuSndInfo"})
        names.push_back(menu.GetString(key, ""));
    for (const std::string& name : names) {
        ASSERT_GT(name.size(), 4u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".wav") << name;
        EXPECT_EQ(name.find_first_of(" /\\"), std::string::npos) << name;
    }
}

TEST(TuningMedia, LoadsWithoutUnreadableFiles) {
    EXPECT_EQ(TuningLoadFromFolder(tuning_test::SourceMediaConfig()), 0);
}
