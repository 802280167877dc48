#include "CGameMode.h"

CGameMode::CGameMode(int previousModeValue, int modeValue)
    : mPreviousModeValue(previousModeValue), mModeValue(modeValue), mSelf(this) {}

CGameMode::~CGameMode() = default;

void CGameMode::ResetMatch(bool) {}

const char* GameModeName(int modeId) {
    static const char* const kNames[GAME_MODE_COUNT] = {
        "CQuickMatchGameMode",     "CBootGameMode",        "CMenuMainGameMode",       "CMenuGameModeQuickMatch",
        "CMenuGameModeChamp",      "CMenuGameModeCup",     "CMenuGameModeCarreer",    "CMenuDemoGameMode",
        "CMenuOptionsGameMode",    "CTrainingGameMode",    "CMenuGameModeTraining",   "CMenuLobbyingGameMode",
    };
    return modeId >= 0 && modeId < GAME_MODE_COUNT ? kNames[modeId] : "?";
}
