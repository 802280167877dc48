// The game's own data tables in mediaDemo/Data: what the code requires of
// them (ids, counts, roles, profiles, every text key in both languages).
#include "TablesTestFiles.h"

#include <CLangDB.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <GameDataTable.h>
#include <PlayerDB.h>
#include <Team.h>
#include <TeamDB.h>
#include <TuningParameters.h>
#include <TuningLoader.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

using tables_test::SourceData;

namespace {

// Every key the game looks up in the language table.
const char* const kTextKeys[] = {
    "ACCUEIL", "ACTOR", "ACTOR_CHOICE", "AFF", "AI_TEAMA", "AI_TEAMB", "BACK_TO_LOBBY", "BAD_LAUNCH", "BALTARD",
    "BAR_BALANCE", "BAR_MENTAL", "BAR_PHYSIQUE", "BK", "BK_MENU", "BTN_CTN", "BTN_EFFECTS", "BTN_JUMP",
    "BTN_NORMAL", "BTN_PLUMB", "BTN_POINT", "BTN_REPLAY", "BTN_ROLL", "BTN_SHOOT", "CARAC", "CAREER_SAVE_SLOT_INFO",
    "CARRIERE", "CHAMPIONNAT", "CHAMPIONSHIP_SAVE_SLOT_INFO", "CHAT_SEND", "CHG_GAME_TYPE", "CHG_TEAM",
    "CHOOSE_COUNTRY", "CHOOSE_NATION", "CH_FR_DBL", "CH_FR_FTF", "CH_FR_TPL", "CH_WL_TPL", "CIOTAT", "CLASS",
    "CLIC_TO_CTN", "CLIC_TO_QUIT", "CLIC_TO_REPLAY", "CNX_FAILED", "CNX_GO_BACK", "CNX_IN_PROGRESS", "COMPET",
    "CONF_SUPPR", "COUNTRY_FRAME_NAME", "COUPE", "CREATE", "CTN", "CTN_CAR", "CTN_CHP", "CTN_CUP",
    "CUP_SAVE_SLOT_INFO", "CURRENT_LANG", "DBL", "DEMO_ONE_PLAYER", "DEMO_TWO_PLAYER", "DIFICULTY", "EASY", "ELIM",
    "ELIMINATED", "EMPTY", "EMPTY_SAVE_SLOT_INFO", "ENTER_NAME", "ENTER_NAME_ONE_P", "FAF", "FILL_INFOS",
    "FILL_TEAMS_FRAME_NAME", "FINAL", "FRANCE", "HALF_F", "HARD", "HEAD", "HEAD_TAIL_TITLE", "HEIGHT_F", "LAN",
    "LAN_CHOSE_COUNTRY", "LAN_CHOSE_REGION", "LAN_CONNECTED_PLAYERS", "LAN_DBL", "LAN_DISCONNECT",
    "LAN_ERR_EMPTY_PLAYER", "LAN_ERR_NB_PLAYERS", "LAN_ERR_NOT_IN_TEAM", "LAN_ERR_NO_PROV", "LAN_ERR_PLAYERS_SAME",
    "LAN_ERR_TEAM_EMPTY", "LAN_ERR_TEAM_SAME", "LAN_FAF", "LAN_FRAME", "LAN_FRAME_NAME", "LAN_HAS_NO_TEAM",
    "LAN_HOST", "LAN_INFO", "LAN_JOIN", "LAN_LOCATION", "LAN_MIDDLE", "LAN_NBPLAYERS", "LAN_NOTE", "LAN_NO_TEAM",
    "LAN_PLAYER1", "LAN_PLAYER2", "LAN_PLAYER3", "LAN_PLEASEWAIT", "LAN_POINTER", "LAN_REFRESH", "LAN_SHOOTER",
    "LAN_STOPPED", "LAN_TEAM_A", "LAN_TEAM_B", "LAN_TRP", "LAN_WORLD_REGION", "LEFT", "LIST", "LOCAL", "MARSEILLE",
    "MATCH", "MATCH_POULE", "MATCH_REFUSED", "MATCH_REFUSED_PLAYERS", "MATCH_REFUSED_SAME_TEAM",
    "MATCH_REFUSED_TEAM", "MATCH_REFUSED_VENUE", "MENU_TRAINING", "MIDDLE", "MUSIC", "NATION", "NB_PL_ERR",
    "NEW_SAVE", "NEXT", "NO", "NOGAMEFOUND", "NOISE", "NORMAL", "NO_GAME_SEL", "NULL_MENE", "OFF", "ON", "OPTIONS",
    "OPTION_SETTINGS", "PIG_IS_OUT", "PIG_LAUNCH_ERROR", "PLAYER", "PLAYER_ABR", "POINTER", "POULE", "POWER_BARS",
    "PREV", "QUALIFIED", "QUALIFS", "QUAL_RESULTS", "QUAT_F", "QUICKMATCH", "QUIT", "QUIT_CAR", "QUIT_TO_MENU",
    "RANK", "REGION", "REGION_FRAME_NAME", "REPLAY", "RESULT", "RESULTS", "RETRY", "REUNION", "RIGHT", "SAVE",
    "SEL", "SELECT_CHAMP", "SELECT_CHAMP_INFO", "SELECT_CHAMP_TYPE", "SELECT_GAME_TYPE", "SELECT_NB_PLAYERS",
    "SHADOW", "SHOOTER", "SOUND", "SPEED_SCALE", "START", "STRING_ID", "SUPPR", "SURE_TO_QUIT",
    "SURE_TO_QUIT_PARTY", "SURE_TO_QUIT_TRAIN", "TAIL", "TEAM", "TEXTURE_QUALITY", "TEXTURE_QUALITY_HIGH",
    "TEXTURE_QUALITY_LOW", "TEXT_INFOS_PLAYER", "TO", "TOSS_BEG", "TOSS_RESULT", "TOSS_WELCOME", "TP", "TRAINING",
    "TRP", "TR_DESC", "TR_DESC_POINT_1", "TR_DESC_POINT_2", "TR_DESC_SHOOT_1", "TR_DESC_SHOOT_2", "TR_END",
    "TR_POINT_1", "TR_POINT_2", "TR_SCORE", "TR_SHOOT_1", "TR_SHOOT_2", "TR_TYPE", "TURN", "VALID", "VERSUS",
    "WAITING_HOST", "WAITING_SYNC", "WIN", "WINNERS", "WORLD", "YES",
};

// Keys whose texts are printf formats, with the conversions the callers pass.
const std::map<std::string, std::string> kFormatKeys = {
    {"PIG_IS_OUT", "si"},      {"PIG_LAUNCH_ERROR", "i"}, {"CHOOSE_COUNTRY", "si"},
    {"CHOOSE_NATION", "si"},   {"NB_PL_ERR", "i"},        {"TOSS_RESULT", "s"},
};

// The conversions of a format, in order ("%%" is none).
std::string Conversions(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        out += i + 1 < text.size() ? text[i + 1] : '?';
    }
    return out;
}

class GameMedia : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        CaracDB::Release();
        ASSERT_TRUE(CaracDB::LoadFromFile(SourceData("Carac_DB.csv")));
        ASSERT_TRUE(PlayerDB::LoadFromFile(SourceData("Joueurs_DB.csv")));
        ASSERT_TRUE(TeamDB::LoadFromFile(SourceData("Equipes_DB.csv")));
    }
    static void TearDownTestSuite() {
        PlayerDB::Init();
        TeamDB::Init();
        CaracDB::Release();
        CLangDB::Instance().Clear();
        CLangDB::Instance().SetCurrentLanguage(1);
    }
};

}  // namespace

TEST_F(GameMedia, TeamTableHoldsNationalThenRegionalTeamsWithTheFixedIds) {
    const std::vector<Team*>& teams = TeamDB::GetTeams();
    ASSERT_EQ(teams.size(), size_t(TeamDB::TEAM_COUNT));
    std::set<int32_t> countries, regions;
    for (int i = 0; i < TeamDB::TEAM_COUNT; ++i) {
        const Team* team = teams[i];
        if (i < TeamDB::NATIONAL_TEAM_COUNT) {
            EXPECT_TRUE(team->mNational) << team->mName;
            EXPECT_EQ(team->mRegionId, 0) << team->mName;
            countries.insert(team->mCountryId);
        } else {
            EXPECT_FALSE(team->mNational) << team->mName;
            EXPECT_EQ(team->mCountryId, 8) << team->mName;
            regions.insert(team->mRegionId);
        }
        for (int level = 0; level < 3; ++level) {
            EXPECT_GT(team->mDifficulty[level][0], 0) << team->mName;
            EXPECT_GE(team->mDifficulty[level][1], 0) << team->mName;
            EXPECT_LE(team->mDifficulty[level][1], 10) << team->mName;
        }
    }
    for (int32_t id = 1; id <= 16; ++id) {
        EXPECT_EQ(countries.count(id), 1u) << "country " << id;
        EXPECT_EQ(regions.count(id), 1u) << "region " << id;
        EXPECT_NE(TeamDB::GetNationalTeam(id), nullptr);
        EXPECT_NE(TeamDB::GetRegionalTeam(id), nullptr);
    }
}

TEST_F(GameMedia, EveryTeamHasASquadOfEveryRoleWithProfiles) {
    std::set<std::string> names;
    for (const Team* team : TeamDB::GetTeams()) {
        const PlayerList* squad = PlayerDB::GetTeamPlayers(team);
        ASSERT_NE(squad, nullptr) << team->mName;
        EXPECT_GE(squad->size(), 3u) << team->mName;
        EXPECT_LE(squad->size(), 6u) << team->mName;   // the actor screen shows six at most
        for (int32_t role = 0; role < 3; ++role) {
            const CPlayer* player = PlayerDB::GetTeamPlayer(team, role);
            ASSERT_NE(player, nullptr) << team->mName << " role " << role;
            EXPECT_EQ(player->mRole, role) << team->mName;
        }
        for (const CPlayer* player : *squad) {
            EXPECT_FALSE(player->mName.empty());
            EXPECT_LT(player->mName.size(), 32u) << player->mName;   // controller names hold 31
            EXPECT_TRUE(names.insert(player->mName).second) << "twice: " << player->mName;
            EXPECT_STRNE(CPlayer::GetBodyCode(player->mBodyCode), "") << player->mName;
            EXPECT_STRNE(CPlayer::GetSkinCode(player->mSkinCode), "") << player->mName;
            EXPECT_GE(player->mModelNumber, 1) << player->mName;
            for (const ThrowProfile* profile : {player->mPointingProfile, player->mShootingProfile}) {
                ASSERT_NE(profile, nullptr) << player->mName;
                EXPECT_GT(profile->mSpeed0, 0.0f) << player->mName;
                EXPECT_LT(profile->mSpeed0, profile->mSpeed1) << player->mName;
                EXPECT_LT(profile->mSpeed1, profile->mSpeed2) << player->mName;
                EXPECT_LT(profile->mSpeed2, profile->mSpeed3) << player->mName;
            }
        }
    }
    // The trainee: France's middle player.
    ASSERT_NE(PlayerDB::GetTeamPlayer(TeamDB::GetNationalTeam(8), CPlayer::ROLE_MIDDLE), nullptr);
    // Every player is filed under one of the 32 teams.
    size_t filed = 0;
    for (int32_t id = 1; id <= 16; ++id) {
        filed += PlayerDB::GetRegionPlayers(id) ? PlayerDB::GetRegionPlayers(id)->size() : 0;
        filed += PlayerDB::GetCountryPlayers(id) ? PlayerDB::GetCountryPlayers(id)->size() : 0;
    }
    EXPECT_EQ(filed, names.size());
}

// The panel and the actor screen draw mental and physique out of 100, and the
// stress and fatigue thresholds and changes are points of that scale: a rested
// player shows bars well filled and above the thresholds, and one lost mene
// does not empty a bar.
TEST_F(GameMedia, CharacteristicsShareTheScaleOfTheBarsAndThresholds) {
    const int kFull = 100, kRedBelow = kFull / 3 + 1;
    for (const char* body : {"FG", "FP", "HJ", "HM", "HF", "HA"})
        for (const char* role : {"M", "T", "P"})
            for (bool pointing : {true, false}) {
                const std::string key = CaracDB::MakeKey(body, role, pointing);
                const ThrowProfile* profile = CaracDB::Find(key);
                ASSERT_NE(profile, nullptr) << key;
                for (int32_t value : {profile->mMental, profile->mPhysique}) {
                    EXPECT_LE(value, kFull) << key;
                    EXPECT_GE(value, kRedBelow) << key;
                }
                EXPECT_GT(profile->mMental, SEUIL_MENTAL_STRESS) << key;
                EXPECT_GT(profile->mPhysique, SEUIL_PHYSIQUE_FATIGUE) << key;
                EXPECT_GE(profile->mMental + profile->mPhysique, SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS) << key;
                for (int32_t value : {profile->mBalance, profile->mEffects}) {
                    EXPECT_GE(value, 0) << key;
                    EXPECT_LE(value, 10) << key;
                }
            }
    for (int32_t change : {MALUS_MENTAL_PERTE_MENE, BONUS_MENTAL_GAIN_MENE, MALUS_PHYSIQUE_ROUGE}) {
        EXPECT_GE(std::abs(change), 5) << "a change too small to see on a bar out of 100";
        EXPECT_LE(std::abs(change), kFull / 3);
    }
}

TEST_F(GameMedia, LanguageTableHasEveryKeyInFrenchAndEnglish) {
    CLangDB& lang = CLangDB::Instance();
    for (unsigned language : {1u, 2u}) {
        lang.SetCurrentLanguage(language);
        ASSERT_TRUE(lang.LoadFromFile(SourceData("Lang_DB.csv")));
        std::set<std::string> seen;
        for (const LangEntry& entry : lang.GetEntries()) {
            std::string lower = entry.key;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(seen.insert(lower).second) << "key twice: " << entry.key;
            EXPECT_NE(entry.text, "#" + entry.key + "#") << "no text in language " << language << ": " << entry.key;
            auto format = kFormatKeys.find(entry.key);
            EXPECT_EQ(Conversions(entry.text), format == kFormatKeys.end() ? "" : format->second)
                << entry.key << " in language " << language;
        }
        for (const char* key : kTextKeys)
            EXPECT_NE(GetText(key), key) << "missing in language " << language << ": " << key;
        // Team names and the country and region lists are shown through GetText.
        for (const Team* team : TeamDB::GetTeams())
            EXPECT_NE(GetText(team->mName.c_str()), team->mName.c_str()) << team->mName;
        for (int32_t id = 1; id <= 16; ++id) {
            const std::string& country = TeamDB::GetCountryName(TeamDB::GetCountryNames(), id);
            EXPECT_NE(GetText(country.c_str()), country.c_str()) << country;
        }
    }
    lang.SetCurrentLanguage(1);
    ASSERT_TRUE(lang.LoadFromFile(SourceData("Lang_DB.csv")));
    EXPECT_STREQ(GetText("CURRENT_LANG"), "Francais");
}

TEST_F(GameMedia, CreditsAndTrainingTablesHaveTheirShape) {
    TextTable credits;
    ASSERT_TRUE(ReadGameDataTable("credits", SourceData("Credits_DB.csv"), credits));
    ASSERT_GT(credits.size(), 1u);
    for (size_t r = 1; r < credits.size(); ++r) {
        EXPECT_GE(credits[r].size(), 1u);
        EXPECT_LE(credits[r].size(), 3u) << credits[r][0];
    }
    TextTable training;
    ASSERT_TRUE(ReadGameDataTable("training", SourceData("Train_DB.csv"), training));
    ASSERT_EQ(training.size(), 11u);   // the header and the ten exercises of a series
    for (size_t r = 1; r < training.size(); ++r) {
        EXPECT_GE(training[r].size(), 4u);
        EXPECT_GT(StringToFloat(training[r][1]), 0.0f);
    }
}
