#include "CQMGMIntroState.h"

#include "CQuickMatchGameMode.h"
#include "MatchText.h"
#include "RefereeLink.h"

#include <CDebugRenderer.h>
#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CInputMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CLangDB.h>
#include <CMatchCamera.h>
#include <COverlayHolder.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <HalTimer.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>
#include <Terrain.h>
#include <TestReport.h>
#include <TuningParameters.h>

#include <CEGUI/Window.h>
#include <CKEMSceneCamera.h>
#include <OgreMaterialManager.h>
#include <OgreMatrix4.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <algorithm>

namespace {

const uint32_t kApplauseSecond = 10;
const uint32_t kIntroSeconds = 16;
const float kCampathDuration = 10.0f;
// The flags' and names' left edges in each half of the picture (relative to
// the window), as the overlay and the layout draw them.
const float kLeftFlag = 0.15f, kRightFlag = 0.65f, kFlagFrameBorder = 0.005f;
const float kLeftName = 0.05f, kRightName = 0.55f;
// About where a standing player's head is, for the test channel.
const float kHeadHeight = 1.7f;

// The player k of both sides: player k mod n of side k / n.
CPlayer* PlayerByNumber(MatchState* state, int number, int perSide) {
    if (!state || perSide <= 0)
        return nullptr;
    Team* team = state->GetTeam(number / perSide);
    const size_t index = static_cast<size_t>(number % perSide);
    return team && index < team->mPlayers.size() ? team->mPlayers[index] : nullptr;
}

// Takes the entry at a random index of what is left of the list.
template <class T>
bool PickFrom(std::vector<T>& list, T& picked, int randValue) {
    const int index = RandomPickIndex(randValue, static_cast<int>(list.size()));
    if (index < 0)
        return false;
    picked = list[static_cast<size_t>(index)];
    list.erase(list.begin() + index);
    return true;
}

void WorldPose(CKEMSceneNode* node, Ogre::Vector3& position, Ogre::Matrix3& rotation) {
    Ogre::Matrix4 world = Ogre::Matrix4::IDENTITY;
    if (node)
        node->GetWorldMatrix(world);
    position = world.getTrans();
    rotation = world.linear();
}

}  // namespace

std::vector<CQMGMIntroState::Salute> CQMGMIntroState::PlanSalutes(int playerCount, int (*draw)()) {
    std::vector<uint16_t> variants = {1, 2};
    std::vector<uint16_t> players;
    for (int k = 0; k < playerCount; ++k)
        players.push_back(static_cast<uint16_t>(k));
    std::vector<uint16_t> times = {11, 13};
    const int wanted = 1 + RandomPickIndex(draw(), 3);   // 1 to 3 salutes
    std::vector<Salute> plan;
    for (int planned = 0; planned < wanted && planned < playerCount; ++planned) {
        Salute salute;
        if (!PickFrom(variants, salute.mVariant, draw()) || !PickFrom(players, salute.mPlayer, draw()) ||
            !PickFrom(times, salute.mTime, draw()))
            break;   // nothing left to give a salute
        plan.push_back(salute);
    }
    return plan;
}

void CQMGMIntroState::OnEnter(int) {
    TestReport("state %s", "CQMGMIntroState");
    HideAllOverlays();
    if (!mOwner)
        return;
    mOwner->ResetMatch(true);
    DebugPrintText(GetText("CURRENT_LANG"), false, true);

    MatchState* state = mOwner->GetMatchState();
    CGameMaster* master = mOwner->GetGameMaster();
    mPlayersPerSide = state && state->mTeamA ? static_cast<uint16_t>(state->mTeamA->mPlayers.size()) : 0;
    mPlayerNumbers.assign(2u * mPlayersPerSide, 0);

    Ogre::Vector3 origin;
    Ogre::Matrix3 rotation;
    WorldPose(referee::GetIntroReference(master), origin, rotation);
    const Ogre::Quaternion orientation(rotation);
    const Ogre::Vector3 xAxis = rotation.GetColumn(0);
    for (int side = 0; side < 2 && state; ++side) {
        Team* team = state->GetTeam(side);
        for (int j = 0; team && j < mPlayersPerSide && j < static_cast<int>(team->mPlayers.size()); ++j) {
            CKEMSceneObject* node = referee::GetPlayerNode(master, team->mPlayers[static_cast<size_t>(j)]);
            if (!node)
                continue;
            const float along = static_cast<float>(j + 1) * (side == 0 ? 1.0f : -1.0f);
            node->setPosition(origin + xAxis * along, true);
            node->SetOrientation(orientation, true);
            node->setToVisible(true);
            const Ogre::Vector3 head = origin + xAxis * along + Ogre::Vector3(0.0f, kHeadHeight, 0.0f);
            TestReport("intro head %d %.3f %.3f %.3f", side, head.x, head.y, head.z);
        }
    }
    PlacePlayers();
    PickRandomActors();
    mStartTime = 0;
    mCrowdReacted = 0;
    mLeftSide = -1;

    if (CHUDInfoPanel* infos = mOwner->GetMatchInfos()) {
        CHUDMgr::RefreshMatchInfos(*infos);
    }
    gGUIMgr.ShowOverlay("CHUDIntroState");
    ShowWindow("Team1Name", true);
    ShowWindow("Team2Name", true);
    ShowTeamNames(0);
    ShowTeamNames(1);
    gSceneMgr.Resume();
    mOwner->SetCameraHold(false);
}

void CQMGMIntroState::PlacePlayers() {
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    CGameMaster* master = mOwner ? mOwner->GetGameMaster() : nullptr;
    const int n = mPlayersPerSide;
    std::vector<int> variants = {1, 2, 3, 4, 5};
    std::vector<int> numbers;
    for (int k = 0; k < 2 * n; ++k) {
        mPlayerNumbers[static_cast<size_t>(k)] = static_cast<uint16_t>(k);
        numbers.push_back(k);
    }
    std::vector<float> starts = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f};
    const int standing = std::min(5, 2 * n);
    auto play = [&](int number, int variant, float start) {
        CKEMSceneObject* node = referee::GetPlayerNode(master, PlayerByNumber(state, number, n));
        if (!node)
            return;
        gScenaricMgr.Register(node);
        const std::string anim = "AP_STD_0" + std::to_string(variant);
        node->playAnimBlending(anim, 0.3f, 0.3f, true);
        node->setAnimTimePosition(anim, start);
    };
    for (int i = 0; i < standing; ++i) {
        int number = 0, variant = 1;
        float start = 0.0f;
        if (!PickFrom(numbers, number, KemRand()) || !PickFrom(variants, variant, KemRand()) ||
            !PickFrom(starts, start, KemRand()))
            break;
        play(number, variant, start);
    }
    if (2 * n == 6 && !numbers.empty()) {
        // The sixth player: any of the five stands, a later start.
        const int variant = 1 + RandomPickIndex(KemRand(), 5);
        play(numbers.front(), variant, 3.0f);
    }
}

void CQMGMIntroState::PickRandomActors() {
    mSalutes = PlanSalutes(2 * mPlayersPerSide, KemRand);
}

void CQMGMIntroState::PlaySalute(uint32_t elapsed) {
    for (size_t i = 0; i < mSalutes.size(); ++i) {
        const Salute salute = mSalutes[i];
        if (salute.mTime >= elapsed)
            continue;
        mSalutes.erase(mSalutes.begin() + static_cast<long>(i));
        CGameMaster* master = mOwner ? mOwner->GetGameMaster() : nullptr;
        MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
        if (CKEMSceneObject* node = referee::GetPlayerNode(master, PlayerByNumber(state, salute.mPlayer, mPlayersPerSide)))
            node->playAnimBlending("AP_SAL_0" + std::to_string(salute.mVariant), 0.3f, 0.3f, false);
        return;   // one salute a frame
    }
}

void CQMGMIntroState::ShowTeamNames(int side) {
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    const Team* team = state ? state->GetTeam(side) : nullptr;
    if (team) {
        const std::string flag = team->mNational
                                     ? TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), team->mCountryId)
                                     : TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), team->mRegionId);
        if (!flag.empty())
            SetOverlayMaterial("PresFlag" + std::to_string(side + 1), "MENU/Country/flag/" + flag);
    }
    for (int s = 0; s < 2; ++s) {
        const Team* named = state ? state->GetTeam(s) : nullptr;
        SetWindowTextOf(s == 0 ? "Team1Name" : "Team2Name",
                        named ? GetTeamScreenName(named) : std::string());
    }
}

int CQMGMIntroState::SideOnTheLeft(const Ogre::Vector3& eye, const Ogre::Vector3& sight, const Ogre::Vector3& side0,
                                   const Ogre::Vector3& side1) {
    const Ogre::Vector3 right = sight.crossProduct(Ogre::Vector3::UNIT_Y);
    // Where each line stands across the picture: its offset to the right
    // over its depth.
    auto across = [&](const Ogre::Vector3& p) {
        const float depth = std::max(0.1f, (p - eye).dotProduct(sight));
        return (p - eye).dotProduct(right) / depth;
    };
    return across(side0) > across(side1) ? 1 : 0;
}

void CQMGMIntroState::PlaceTeamPanels() {
    const CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera();
    if (!camera || !mOwner)
        return;
    Ogre::Vector3 origin;
    Ogre::Matrix3 rotation;
    WorldPose(referee::GetIntroReference(mOwner->GetGameMaster()), origin, rotation);
    Ogre::Vector3 eye;
    camera->GetPosition(eye, 2);
    // The middle of each side's line (GetIntroPlayerPosition's places).
    const float middle = (static_cast<float>(mPlayersPerSide) + 1.0f) * 0.5f;
    const Ogre::Vector3 axis = rotation.GetColumn(0);
    const int left = SideOnTheLeft(eye, camera->GetDirection(), origin + axis * middle, origin - axis * middle);
    if (left == mLeftSide)
        return;
    mLeftSide = left;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    for (int side = 0; side < 2; ++side) {
        const bool onLeft = side == left;
        const std::string number = std::to_string(side + 1);
        const float flagLeft = onLeft ? kLeftFlag : kRightFlag;
        if (overlays && overlays->hasOverlayElement("PresFlag" + number))
            overlays->getOverlayElement("PresFlag" + number)->setLeft(flagLeft);
        if (overlays && overlays->hasOverlayElement("CHUDIntroState/Frame" + number))
            overlays->getOverlayElement("CHUDIntroState/Frame" + number)->setLeft(flagLeft - kFlagFrameBorder);
        if (CEGUI::Window* name = gGUIMgr.GetWindow("Team" + number + "Name")) {
            const CEGUI::UVector2 at = name->getPosition();
            name->setPosition(CEGUI::UVector2(CEGUI::UDim(onLeft ? kLeftName : kRightName, 0.0f), at.d_y));
        }
    }
}

void CQMGMIntroState::Update() {
    if (!mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    const bool placementComplete = referee::CalibrateRolling(master);
    if (ENABLE_CHEAT && CInputMgr::IsPressed(gInputMgr.GetAction(CQuickMatchGameMode::ACTION_SKIP_INTRO)) &&
        placementComplete) {
        ChangeTo(QM_STATE_TOSS);
        return;
    }
    if (mStartTime == 0) {
        mStartTime = gTimer.GetTimeSeconds();
        if (mStartTime == 0)
            mStartTime = 1;   // 0 means "not started"; a second's offset is harmless
        if (CMatchCamera* camera = referee::GetCamera(master)) {
            camera->SwitchToCamera("CameraIntro");
            if (CKEMSceneNode* path = CKEMSceneGraph::FindNode("campath"))
                camera->TrackLookAt(path, Ogre::Vector3::ZERO, kCampathDuration);
            else
                camera->mLookAtTrack = CMatchCamera::Track();   // a still view
            camera->StartTimers();
        }
    }
    PlaceTeamPanels();
    const uint32_t now = gTimer.GetTimeSeconds();
    const uint32_t elapsed = now >= mStartTime ? now - mStartTime : 0;
    if (elapsed >= kApplauseSecond) {
        if (!mCrowdReacted) {
            mCrowdReacted = 1;
            if (CMatchCamera* camera = referee::GetCamera(master))
                camera->SwitchToCamera("CameraIntro_02");
            MatchState* state = mOwner->GetMatchState();
            const int stage = state && state->mTerrain ? state->mTerrain->mStageId : -1;
            const char* reaction = stage == 0 || stage == 1 ? "mediumPositiveReac"
                                   : stage == 2             ? "highPositiveReac"
                                   : stage == 3             ? "lowPositiveReac"
                                                            : nullptr;
            if (reaction) {
                gScenaricMgr.BroadcastEvent("spectatorApplause", 0);
                gScenaricMgr.BroadcastEvent(reaction, 0);
            }
        }
        PlaySalute(elapsed);
    }
    if (elapsed > kIntroSeconds && placementComplete)
        ChangeTo(QM_STATE_TOSS);
}

void CQMGMIntroState::OnLeave(int) {
    DebugPrintText("END INTRO", false, true);
    ShowWindow("Team1Name", false);
    ShowWindow("Team2Name", false);
    ClearLists();
}

void CQMGMIntroState::ClearLists() {
    mSalutes.clear();
    mPlayerNumbers.clear();
}
