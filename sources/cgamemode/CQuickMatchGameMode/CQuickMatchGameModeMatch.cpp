// The match mode's links to the referee and the per-match head-up display.
#include "CQuickMatchGameMode.h"
#include "MatchText.h"
#include "RefereeLink.h"

#include <CBall.h>
#include <CHUDMatch.h>
#include <CKEMSceneObject.h>
#include <CMatchCamera.h>
#include <CScenaricMgr.h>
#include <MatchState.h>
#include <Team.h>
#include <TestReport.h>

CHudGameSource* CQuickMatchGameMode::HudSource() const {
    return referee::HudSource(mGameMaster);
}

void CQuickMatchGameMode::SetCameraHold(bool hold) {
    if (CMatchCamera* camera = referee::GetCamera(mGameMaster))
        camera->mHold = hold ? 1 : 0;
    referee::SetHeld(mGameMaster, hold);
}

void CQuickMatchGameMode::HideSidePlayers(const char* standAnim) {
    if (!mMatchState)
        return;
    for (int side = 0; side < 2; ++side) {
        Team* team = mMatchState->GetTeam(side);
        if (!team)
            continue;
        for (CPlayer* player : team->mPlayers) {
            CKEMSceneObject* node = referee::GetPlayerNode(mGameMaster, player);
            if (!node)
                continue;
            node->setToVisible(false);
            if (standAnim)
                node->playAnimBlending(standAnim, 0.3f, 0.3f, true);
            gScenaricMgr.Unregister(node);
        }
    }
}

void CQuickMatchGameMode::ReportMeneEnd() {
    if (!mMatchState || !mMatchState->mMene || !TestReportEnabled())
        return;
    ++mMenesPlayed;
    const MeneRecord& mene = *mMatchState->mMene;
    const int side = MeneScoringSide(mene.mPoints[0], mene.mPoints[1]);
    TestReport("mene %d %d %u", mMenesPlayed, side, side < 0 ? 0u : mene.mPoints[side]);
    TestReport("score %u %u", mMatchState->mScoreA, mMatchState->mScoreB);
    // Where the thrown balls lie, in play or not (the target ball's place
    // sets the next mene's circle): every machine of a LAN match must see
    // them where the thrower's machine left them.
    if (const std::vector<CBall*>* balls = referee::GetBalls(mGameMaster))
        for (size_t i = 0; i < balls->size(); ++i) {
            const CBall* ball = (*balls)[i];
            if (!ball || ball->mState == CBall::STATE_NONE)
                continue;
            const Ogre::Vector3 at = ball->GetWorldPosition();
            TestReport("rest %d %zu %d %.3f %.3f", mMenesPlayed, i, ball->mState, at.x, at.z);
        }
}

void CQuickMatchGameMode::CreateThrowPanel() {
    ReleaseThrowPanel();
    mThrowPanel = new CHUDMatch();
    mThrowPanel->Refresh(HudSource());
}

void CQuickMatchGameMode::ReleaseThrowPanel() {
    delete mThrowPanel;
    mThrowPanel = nullptr;
}

void CQuickMatchGameMode::SetPanelLocked(bool locked) {
    if (mThrowPanel)
        mThrowPanel->mLocked = locked;
}

bool CQuickMatchGameMode::OnFreeCameraDown(const CEGUI::EventArgs& args) {
    return referee::CaptureFreeCameraInput(mGameMaster, args);
}

bool CQuickMatchGameMode::OnFreeCameraUp(const CEGUI::EventArgs& args) {
    return referee::ReleaseFreeCameraInput(mGameMaster, args);
}

bool CQuickMatchGameMode::OnFreeCameraMove(const CEGUI::EventArgs& args) {
    return referee::MoveFreeCamera(mGameMaster, args);
}
