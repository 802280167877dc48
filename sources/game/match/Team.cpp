#include "Team.h"

#include "CLangDB.h"
#include "CPlayer.h"
#include "GameDifficulty.h"
#include "TeamDB.h"

Team::Team(const std::string& name) : mName(name) {}

int32_t Team::CountBallsLeft() const
{
    int32_t count = 0;
    for (const CPlayer* player : mPlayers)
        if (player)
            count += player->mBallsLeft;
    return count;
}

void Team::SetCurrentPlayer(const CPlayer* player)
{
    for (size_t i = 0; i < mPlayers.size(); ++i) {
        if (mPlayers[i] == player && player) {
            mCurrentPlayer = static_cast<int32_t>(i);
            return;
        }
    }
}

CPlayer* Team::GetBestPlayer(float distance, int32_t kind, bool onlyWithBalls) const
{
    CPlayer* best = nullptr;
    int32_t bestRating = 0;
    for (CPlayer* player : mPlayers) {
        if (!player || (onlyWithBalls && player->mBallsLeft <= 0))
            continue;
        const int32_t rating = player->GetThrowRating(distance, kind);
        if (!best || rating > bestRating) {
            best = player;
            bestRating = rating;
        }
    }
    return best;
}

CPlayer* Team::GetCurrentPlayer() const
{
    if (mCurrentPlayer < 0 || static_cast<size_t>(mCurrentPlayer) >= mPlayers.size())
        return nullptr;
    return mPlayers[mCurrentPlayer];
}

CPlayer* Team::GetNextPlayerWithBalls(bool keepCurrent)
{
    if (!keepCurrent) {
        CPlayer* current = GetCurrentPlayer();
        if (current && current->mBallsLeft > 0)
            return current;
    }
    CPlayer* chosen = nullptr;
    for (CPlayer* player : mPlayers) {
        if (!player || player->mBallsLeft <= 0)
            continue;
        if (player->mRole == CPlayer::ROLE_POINTER) {
            chosen = player;
            break;
        }
        if (player->mRole == CPlayer::ROLE_MIDDLE || !chosen)
            chosen = player;
    }
    if (chosen)
        SetCurrentPlayer(chosen);
    return chosen;
}

void Team::DealBalls()
{
    const int32_t balls = mPlayers.size() == 3 ? 2 : 3;
    for (CPlayer* player : mPlayers)
        if (player)
            player->mBallsLeft = balls;
}

void Team::ResetThrowCounters()
{
    for (CPlayer* player : mPlayers) {
        if (player) {
            player->mFatigue = 0;
            player->mStress = 0;
        }
    }
}

int32_t Team::GetAILevel() const
{
    const int level = (g_CurrentDifficulty == 0 || g_CurrentDifficulty == 1) ? g_CurrentDifficulty : 2;
    return mDifficulty[level][1];
}

std::string GetTeamDisplayName(const Team* team)
{
    if (!team)
        return std::string();
    if (team->mNational)
        return TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), team->mCountryId);
    return TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), team->mRegionId);
}

std::string GetTeamScreenName(const Team* team)
{
    return team ? std::string(GetText(team->mName.c_str())) : std::string();
}
