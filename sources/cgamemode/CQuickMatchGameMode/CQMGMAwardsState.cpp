#include "CQMGMAwardsState.h"

#include "CQMGMOutroState.h"
#include "CQuickMatchGameMode.h"
#include "MatchText.h"
#include "RefereeLink.h"

#include <LaunchOptions.h>
#include <CDebugRenderer.h>
#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CKEMScript.h>
#include <CLangDB.h>
#include <CMatchCamera.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <CTournament.h>
#include <CWindowEffectMgr.h>
#include <DecorTable.h>
#include <HalTimer.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>
#include <Terrain.h>
#include <TestReport.h>

#include <OgreMatrix4.h>

namespace {

// In a match nobody plays, each awarded team is shown this long.
const uint32_t kSpectatorAwardMs = 5000;

const char* const kAwardButtons[] = {"BtnAwardsChangeTeam", "BtnAwardsChangeGameType", "BtnAwardsEndMatch"};

std::string Localized(const Team* team) {
    return team ? GetTeamScreenName(team) : std::string();
}

}  // namespace

float CQMGMAwardsState::ActorOffset(int count, int index) {
    if (count == 1 || (count == 3 && index == 1))
        return 0.0f;
    const float k = count == 2 ? 0.5f : 1.0f;
    return index == 0 ? -k : k;
}

void CQMGMAwardsState::OnEnter(int) {
    if (mBusy)
        return;
    mBusy = true;
    TestReport("state %s", "CQMGMAwardsState");
    DebugPrintText("AWARDS STATE", false, true);
    mContinue = 0;
    if (!mOwner)
        return;

    HideAllOverlays();
    if (CHUDMgr::sAwardsGroup)
        CHUDMgr::sAwardsGroup->ShowAll();
    for (const char* window : {"FrameButtons", "TextLeft", "TextRight", "FramePlayerName"})
        ShowWindow(window, false);
    for (const char* window : {"infosP1", "infosP2", "infosP3"})
        CWindowEffectMgr::StopEffect(window);
    gGUIMgr.ShowOverlay("CHUDEndMatch");
    ShowAwardText("");

    const bool quick = mOwner->IsQuickMatch();
    TournamentInfo info;
    if (!quick && g_pCurrentTournament)
        g_pCurrentTournament->GetInfo(info);
    if (quick) {
        SetWindowTextOf("BtnAwardsReplay", GetText("REPLAY"));
        SetWindowTextOf("BtnAwardsEndMatch", GetText("QUIT_TO_MENU"));
        SetWindowTextOf("BtnAwardsChangeTeam", GetText("CHG_TEAM"));
        SetWindowTextOf("BtnAwardsChangeGameType", GetText("CHG_GAME_TYPE"));
    } else {
        ShowWindow("BtnAwardsReplay", true);
        SetWindowTextOf("BtnAwardsReplay", GetText(info.mFormat == 1 ? "CTN_CUP" : "CTN_CHP"));
        ShowWindow("BtnAwardsEndMatch", true);
        SetWindowTextOf("BtnAwardsEndMatch", GetText("QUIT_CAR"));
        if (CQMGMOutroState::CheckTournamentStep() && (!g_bTournamentCareer || mOwner->GetGameType() == 1)) {
            SetWindowTextOf("BtnAwardsReplay", GetText("CTN"));
            EnableWindow("BtnAwardsEndMatch", true);
        }
    }
    ShowWindow("FrameEndMatchAwards", true);
    ShowWindow("FrameEndTournament", false);
    ShowWindow("FrameEndMatch", false);

    CGameMaster* master = mOwner->GetGameMaster();
    referee::HideBestBalls(master);
    referee::ResetAwards(master);
    if (CMatchCamera* camera = referee::GetCamera(master))
        camera->SwitchToCamera("CameraSponsors");
    if (CKEMSceneNode* panel = referee::GetSponsorsPanel(master))
        panel->setToVisible(true);

    for (Team*& slot : mAwarded)
        slot = nullptr;
    MatchState* state = mOwner->GetMatchState();
    if (quick) {
        Team* winner = state ? state->GetTeam(MatchWinnerSide(state->mScoreA, state->mScoreB)) : nullptr;
        if (winner && (!winner->mComputer || mOwner->IsSpectatorMatch()))
            mAwarded[0] = winner;
    } else if (g_pCurrentTournament) {
        std::vector<Team*> teams;
        g_pCurrentTournament->GetTeams(teams);
        for (size_t i = 0; i < teams.size() && i < 4; ++i)
            if (teams[i] && !teams[i]->mComputer)
                mAwarded[i] = teams[i];
    }
    mCurrentSlot = -1;
    for (int slot = 2; slot >= 0; --slot)
        if (mAwarded[slot]) {
            mCurrentSlot = static_cast<int16_t>(slot);
            break;
        }
    if (mCurrentSlot < 0)
        PlatLog("CQMGMAwardsState::OnEnter() => no awarded team among the first three places");

    if (g_NetMgr.IsConnected()) {
        for (const char* window : {"BtnAwardsReplay", "BtnAwardsChangeTeam", "BtnAwardsChangeGameType"})
            ShowWindow(window, false);
        SetWindowTextOf("BtnAwardsEndMatch", GetText("BACK_TO_LOBBY"));
        ShowWindow("BtnAwardsEndMatch", true);
    }
    EnableWindow("BtnAwardsChangeTeam", false);
    EnableWindow("BtnAwardsChangeGameType", false);
}

void CQMGMAwardsState::Update() {
    if (!mContinue && mCurrentTeam && mOwner && mOwner->IsSpectatorMatch() &&
        gTimer.GetTimeMs() - mShownAt >= kSpectatorAwardMs)
        mContinue = 1;
    if (mContinue) {
        FinishAwards();
        mContinue = 0;
    }
    if (mCurrentSlot < 0 || !mAwarded[mCurrentSlot] || !mOwner)
        return;
    if (!mOwner->IsQuickMatch()) {
        ShowAwardText(BuildAwardText(mCurrentSlot));
        DisableAwardButtons();
    } else {
        ShowAwardText("");
    }
    PlayAwardScript();
}

void CQMGMAwardsState::OnLeave(int) {
    DebugPrintText("AWARDS STATE", false, true);
    if (CKEMSceneNode* panel = mOwner ? referee::GetSponsorsPanel(mOwner->GetGameMaster()) : nullptr)
        panel->setToVisible(false);
    CWindowEffectMgr::StopEffect("textInfoAwards");
    CWindowEffectMgr::StopEffect("textInfoAwardsBG");
    mBusy = false;
    gSceneMgr.Resume();
    if (mOwner)
        mOwner->SetPanelLocked(false);
}

void CQMGMAwardsState::OnContinue() {
    ShowWindow("FrameEndMatchAwards", false);
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    mContinue = 1;
}

void CQMGMAwardsState::ShowAwardText(const std::string& text) {
    std::string shown = text;
    if (shown.empty()) {
        MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
        if (state) {
            const int winner = MatchWinnerSide(state->mScoreA, state->mScoreB);
            const uint32_t won = winner == 0 ? state->mScoreA : state->mScoreB;
            const uint32_t lost = winner == 0 ? state->mScoreB : state->mScoreA;
            shown = ComposeMatchResultText(false, Localized(state->GetTeam(winner)), won, lost);
        }
    }
    SetWindowTextOf("textInfoAwards", shown);
    SetWindowTextOf("textInfoAwardsBG", shown);
    CWindowEffectMgr::StartEffect("textInfoAwards");
    CWindowEffectMgr::StartEffect("textInfoAwardsBG");
}

std::string CQMGMAwardsState::BuildAwardText(int slot) {
    TournamentInfo info;
    if (g_pCurrentTournament)
        g_pCurrentTournament->GetInfo(info);
    std::string text = Localized(GetAwardedTeam(slot)) + "\n";
    text += GetText(info.mFormat == 1 ? "COUPE" : "CHAMPIONNAT");
    text += " ";
    text += GetText(mOwner && mOwner->IsRegional() ? "REGION" : "NATION");
    text += "\n";
    const int perTeam = mOwner ? mOwner->GetGameType() : 0;
    if (perTeam >= 1 && perTeam <= 3) {
        static const char* const kKinds[] = {"FAF", "DBL", "TRP"};
        text += GetText(kKinds[perTeam - 1]);
        text += "\n";
    }
    text += GetText("RANK");
    text += ": " + std::to_string(slot + 1);
    return text;
}

void CQMGMAwardsState::PlayAwardScript() {
    if (mCurrentSlot < 0)
        return;
    Team* team = mAwarded[mCurrentSlot];
    if (!team || !mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    ShowWindow("FrameEndMatchAwards", true);
    if (!team->mPlayers.empty() && !referee::GetPlayerNode(master, team->mPlayers[0]))
        referee::BuildPlayerModels(master, team);

    Ogre::Matrix4 world = Ogre::Matrix4::IDENTITY;
    if (CKEMSceneNode* reference = referee::GetOutroReference(master))
        reference->GetWorldMatrix(world);
    Ogre::Matrix3 rotation;
    rotation = world.linear();
    const Ogre::Vector3 origin = world.getTrans();
    const Ogre::Quaternion orientation(rotation);
    const int count = static_cast<int>(team->mPlayers.size());
    for (int i = 0; i < count; ++i) {
        CKEMSceneObject* node = referee::GetPlayerNode(master, team->mPlayers[static_cast<size_t>(i)]);
        if (!node)
            continue;
        node->setPosition(origin + rotation.GetColumn(0) * ActorOffset(count, i), true);
        node->SetOrientation(orientation, true);
        node->setToVisible(true);
        gScenaricMgr.Register(node);
        node->playAnimBlending("AP_FIN_MA_0" + std::to_string(i + 1), 0.0f, 0.0f, true);
    }

    mDecoration = nullptr;
    if (!mOwner->IsQuickMatch()) {
        const std::string decor = SelectAwardDecor(team);
        DecorEntry* entry = decor.empty() ? nullptr : FindDecorEntry(decor);
        mDecoration = entry ? entry->mNode : nullptr;
    }
    if (mDecoration) {
        mDecoration->setToVisible(true);
        mDecoration->attachScript(new CKEMScript("awardScript.lua"));
    }

    MatchState* state = mOwner->GetMatchState();
    const int stage = state && state->mTerrain ? state->mTerrain->mStageId : -1;
    const char* reaction = stage == 0 || stage == 1 ? "mediumPositiveReac"
                           : stage == 2             ? "highPositiveReac"
                           : stage == 3             ? "lowPositiveReac"
                                                    : nullptr;
    if (reaction)
        gScenaricMgr.BroadcastEvent(reaction, 0);

    mCurrentTeam = team;
    mAwarded[mCurrentSlot] = nullptr;
    mShownAt = gTimer.GetTimeMs();
}

void CQMGMAwardsState::FinishAwards() {
    int next = -1;
    for (int slot = mCurrentSlot - 1; slot >= 0; --slot)
        if (mAwarded[slot]) {
            next = slot;
            break;
        }
    if (mCurrentTeam) {
        if (mDecoration) {
            mDecoration->setToVisible(false);
            mDecoration->removeScript();
            mDecoration = nullptr;
        }
        ReleaseAwardActors(mCurrentTeam);
        mCurrentTeam = nullptr;
    }
    mCurrentSlot = static_cast<int16_t>(next);
    if (next < 0) {
        if (mOwner && mOwner->IsSpectatorMatch()) {
            // Nobody asked for another match: back to the menu.
            CHUDMgr::ShowLoadingScreen(true);
            mOwner->Finish(HomeMenuModeId());
        } else {
            ChangeTo(QM_STATE_LAUNCH_MATCH);
        }
    }
    mContinue = 0;
}

void CQMGMAwardsState::DisableAwardButtons() {
    for (const char* button : kAwardButtons)
        EnableWindow(button, false);
}

void CQMGMAwardsState::ReleaseAwardActors(Team* team) {
    if (!team || !mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    for (CPlayer* player : team->mPlayers) {
        CKEMSceneObject* node = referee::GetPlayerNode(master, player);
        if (!node)
            continue;
        gScenaricMgr.Unregister(node);
        node->setToVisible(false);
    }
}
