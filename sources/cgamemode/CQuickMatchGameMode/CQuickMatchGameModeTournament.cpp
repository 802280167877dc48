// The match mode's side of a championship, cup or career: the gamers' teams
// and line-ups from the description, and the set-up of each played match.
#include "CQuickMatchGameMode.h"
#include "RefereeLink.h"

#include <CGameMaster.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <GameDifficulty.h>
#include <MatchState.h>
#include <PlayerDB.h>
#include <Platform.h>
#include <Team.h>
#include <Terrain.h>
#include <TestReport.h>

#include <cstdio>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const int kGamerCount = 6;

int TeamIdOf(const Team* team) {
    return team ? (team->mNational ? team->mCountryId : team->mRegionId) : -1;
}

}  // namespace

void CQuickMatchGameMode::ReadTournamentDescription() {
    CEnvironment& env = gSceneMgr.GetEnvironment();
    char name[32];
    mTeamBeforeNational = ReadMatchInt(env, kSection, "TeamBeforeNational");
    mTeamList.clear();
    mActorLists.clear();
    // Each gamer heads a team of his own.
    for (int t = 0; t < mNbPlayers && t < kGamerCount; ++t) {
        std::snprintf(name, sizeof name, "Team_%i", t);
        mTeamList.push_back(static_cast<uint16_t>(ReadMatchInt(env, kSection, name)));
        std::vector<uint16_t> actors;
        for (int j = 0; j < mGameType; ++j) {
            std::snprintf(name, sizeof name, "Team_%i_actor_%i", t, j);
            int actor = -1;
            if (ReadMatchChoice(env, kSection, name, actor) && actor >= 0)
                actors.push_back(static_cast<uint16_t>(actor));
        }
        mActorLists.push_back(actors);
    }
    mCurrentSaveSlot = CurrentCompetitionSlot(env);
    if (!mCurrentSaveSlot)
        PlatLog("CQuickMatchGameMode() => no save slot chosen: the tournament is not saved");
    if (!g_pCurrentTournament)
        PlatLog("CQuickMatchGameMode() => a tournament match without a current tournament");
}

int CQuickMatchGameMode::GetGamerTeamId(int i) const {
    // Each gamer heads a team of his own: gamer i plays in "Team_<i>".
    if (i < 0 || i >= mNbPlayers || i >= kGamerCount || static_cast<size_t>(i) >= mTeamList.size())
        return -1;
    return mTeamList[static_cast<size_t>(i)];
}

std::string CQuickMatchGameMode::GetGamerName(int i) const {
    return (i >= 0 && i < mNbPlayers && i < kGamerCount) ? mParams.mPlayerName[i] : std::string();
}

bool CQuickMatchGameMode::StartTournamentMatch(const TournamentMatch& match) {
    Team* sides[2] = {match.mFirstTeam, match.mSecondTeam};
    if (!sides[0] || !sides[1] || sides[0] == sides[1]) {
        PlatLog("CQuickMatchGameMode::StartTournamentMatch() => the match lacks its two teams");
        return false;
    }
    QuickMatchParams params = mParams;
    params.mNbPlayers = 0;
    int listIndex[2] = {-1, -1};
    for (int i = 0; i < mNbPlayers && i < kGamerCount; ++i) {
        const int id = GetGamerTeamId(i);
        for (int side = 0; side < 2; ++side) {
            if (id != TeamIdOf(sides[side]))
                continue;
            const int k = params.mNbPlayers++;
            params.mPlayerTeam[k] = side;
            params.mPlayerName[k] = mParams.mPlayerName[i];
            params.mControler[k] = i + 1;
            for (size_t t = 0; t < mTeamList.size(); ++t)
                if (mTeamList[t] == id)
                    listIndex[side] = static_cast<int>(t);
        }
    }
    FillControlers(params, sides, g_NetMgr.IsConnected(), g_NetMgr.GetOwnIndex(), mSpareControlers);
    for (int side = 0; side < 2; ++side) {
        Team& team = *sides[side];
        team.mPlayers.clear();
        const PlayerList* list = PlayerDB::GetTeamPlayers(&team);
        if (!team.mComputer && list && listIndex[side] >= 0 && static_cast<size_t>(listIndex[side]) < mActorLists.size())
            for (uint16_t actor : mActorLists[static_cast<size_t>(listIndex[side])])
                if (actor < list->size())
                    team.mPlayers.push_back((*list)[actor]);
        // No line-up chosen (or none left of it, or one of another size):
        // the team's own.
        if (!team.mPlayers.empty() && team.mPlayers.size() != static_cast<size_t>(mGameType)) {
            PlatLog("CQuickMatchGameMode::StartTournamentMatch() => side %d's line-up holds %zu players for a match "
                    "of %d a side: the team's own play",
                    side, team.mPlayers.size(), mGameType);
            team.mPlayers.clear();
        }
        if (team.mPlayers.empty())
            PlayerDB::CollectPlayers(&team, mGameType, team.mPlayers);
        if (!SideHoldsGameTypePlayers(team, side, mGameType, "CQuickMatchGameMode::StartTournamentMatch()"))
            return false;
    }
    if (TestAutoplay())
        for (Team* team : sides)
            team->mComputer = true;

    // A run with a fixed seed plays each tournament match from a seed of its
    // own, so a tournament resumed from its save plays on as it would have.
    unsigned seed = 0;
    if (TestFixedSeed(seed) && g_pCurrentTournament) {
        TournamentInfo info;
        g_pCurrentTournament->GetInfo(info);
        KemSrand(seed + 7919u * static_cast<unsigned>(info.mStep) + 131u * static_cast<unsigned>(TeamIdOf(sides[0])) +
                 static_cast<unsigned>(TeamIdOf(sides[1])));
    }

    mSides[0] = sides[0];
    mSides[1] = sides[1];
    DeleteGameMaster();
    ReleaseMatchSetup(mMatchState);
    mMatchState = new MatchState(sides[0], sides[1], TestTargetScore(kTargetScore), mGameType, mParams.mLocation);
    ResetMeneCount();
    CGameMaster* created = referee::Create(mMatchState);
    SetGameMaster(created);
    gScenaricMgr.Register(referee::Node(created));
    if (referee::IsSetUpFailed(created)) {
        PlatLog("CQuickMatchGameMode::StartTournamentMatch() => the venue lacks an object the match needs");
        return false;
    }
    gSceneMgr.Resume();
    referee::ResetStart(created);
    TestReport("tournament match %s v %s", GetTeamScreenName(sides[0]).c_str(),
               GetTeamScreenName(sides[1]).c_str());
    if (TestReportEnabled()) {
        TestReport("tournament venue %d difficulty %d", mMatchState->mTerrain ? mMatchState->mTerrain->mStageId : -1,
                   static_cast<int>(g_CurrentDifficulty));
        for (int k = 0; k < params.mNbPlayers; ++k) {
            TestReport("tournament gamer team %s", GetTeamScreenName(sides[params.mPlayerTeam[k]]).c_str());
            TestReport("tournament gamer name %s", params.mPlayerName[k].c_str());
        }
    }
    return true;
}
