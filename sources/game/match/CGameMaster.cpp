#include "CGameMaster.h"

#include "CAimGuide.h"
#include "CBall.h"
#include "CGameElement.h"
#include "CLangDB.h"
#include "CPhysicBallListener.h"
#include "CPlayer.h"
#include "DecorTable.h"
#include <CKEMSceneParticleEffect.h>
#include "LaunchSet.h"
#include "MatchState.h"
#include "Team.h"
#include "Terrain.h"

#include <AIParameters.h>
#include <CHUDMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CKEMScript.h>
#include <CMatchCamera.h>
#include <COverlayHolder.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CReplayMgr.h>
#include <CRollingEstimator.h>
#include <CScenaricMgr.h>
#include <HalTimer.h>
#include <Platform.h>
#include <StrategyManager.h>
#include <TuningParameters.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

CKEMSceneNode* Find(const std::string& name)
{
    return CKEMSceneGraph::FindNode(name);
}

std::string Numbered(const char* prefix, int n)
{
    char name[64];
    std::snprintf(name, sizeof(name), "%s%d", prefix, n);
    return name;
}

float EstimateRolling(const CRollingEstimator* estimator, float angle, float effect, float speed)
{
    return estimator ? estimator->Estimate(angle, effect, speed) : 0.0f;
}

void ReplayStart()
{
    gReplayMgr.StartReplay(gTimer.GetTimeMs());
    gReplayMgr.TakeReceivedState();
}

bool ReplayPlay(uint32_t now)
{
    // The replay manager answers false once the recording has been played out.
    return !gReplayMgr.Replay(now);
}

void ReplayFinish(std::vector<CBall*> balls)
{
    gReplayMgr.ApplyFinalState(std::move(balls));
}

bool HasComputerSide(const MatchState* match)
{
    return match && ((match->mTeamA && match->mTeamA->mComputer) || (match->mTeamB && match->mTeamB->mComputer));
}

}  // namespace

CGameMaster::CGameMaster(MatchState* match) : CKEMSceneNode(nullptr), mMatch(match)
{
    setName("Game Master");
    const char* trace = std::getenv("TAVIRELO_PHYSICS_TRACE");
    mTraceBalls = trace && *trace && std::string(trace) != "0";
    mAimGuide = new CAimGuide();
    mAimGuide->mReferee = this;
    CAimGuide::sEstimateRolling = &EstimateRolling;
    LaunchSet::sReplay.start = &ReplayStart;
    LaunchSet::sReplay.play = &ReplayPlay;
    LaunchSet::sReplay.finish = &ReplayFinish;
    mLaunchSet = new LaunchSet(mAimGuide);
    mCamera = new CMatchCamera();
    if (HasComputerSide(mMatch)) {
        mAIParameters = new AIParameters("../../mediaDemo/Config/AI.cfg");
        mRollingEstimator = new CRollingEstimator(mAIParameters);
        mAimGuide->mRollingEstimator = mRollingEstimator;
        mStrategy = new StrategyManager(mMatch, mAIParameters, mRollingEstimator);
    }
}

CGameMaster::~CGameMaster()
{
    for (CBall* ball : mBalls)
        delete ball;
    mBalls.clear();
    for (CTarget* marker : mBestBallMarkers)
        delete marker;
    mBestBallMarkers.clear();
    delete mTargetBallPointer;
    delete mAimTarget;
    if (mMatch && mMatch->mCircle == mCircle)
        mMatch->mCircle = nullptr;
    delete mCircle;
    delete mLaunchSet;
    if (mAimGuide)
        mAimGuide->mRollingEstimator = nullptr;
    delete mAimGuide;
    delete mStrategy;
    delete mCamera;
    delete mRollingEstimator;
    delete mAIParameters;
}

const std::vector<std::string>& CGameMaster::RequiredVenueObjects()
{
    static const std::vector<std::string> names = {"cochonnet", "cercle", "cible", "terrain limite 1",
                                                   "terrain limite 2", "LimiteCam_01", "LimiteCam_02"};
    return names;
}

bool CGameMaster::CheckVenue()
{
    bool complete = true;
    for (const std::string& name : RequiredVenueObjects()) {
        if (!Find(name)) {
            PlatLog("Game Master: the venue has no object \"%s\"; the match cannot start", name.c_str());
            complete = false;
        }
    }
    return complete;
}

void CGameMaster::ReleaseBall(CBall* ball)
{
    if (!ball || !ball->GetNode())
        return;
    ball->GetNode()->setToVisible(false);
    if (CPhysicObject* body = ball->GetNode()->getPhysicObject())
        gPhysicMgr.RemoveObject(body);
    if (ball->mDust)
        ball->mDust->StopEffect();
    if (ball->mGravel)
        ball->mGravel->StopEffect();
}

void CGameMaster::SetBallHighlight(CBall* ball, bool on)
{
    if (ball)
        ball->mHighlight = on ? 1 : 0;
}

void CGameMaster::RegisterEvents()
{
    // The set-up replaces the scene node's default event handlers. The
    // scripted-node manager calls this at every registration: the venue's
    // objects are taken once.
    if (!mSetUp)
        Init();
}

bool CGameMaster::Init()
{
    mSetUp = 1;
    mSetUpFailed = !CheckVenue();
    if (mSetUpFailed)
        return false;

    CreateCameras();
    const bool computer = HasComputerSide(mMatch);
    const int32_t perSide = GetBallsPerSide();

    CKEMSceneNode* targetNode = Find("cochonnet");
    mTargetBall = new CBall(CBall::KIND_TARGET, targetNode);
    ReleaseBall(mTargetBall);
    gReplayMgr.AddEntity(targetNode, 0);
    mTargetBall->CreateContactListener();
    mBalls.push_back(mTargetBall);

    mCircle = new CCircle(Find("cercle"));
    if (mMatch)
        mMatch->mCircle = mCircle;

    CKEMSceneNode* aim = Find("cible");
    aim->setToVisible(false);
    mAimTarget = new CTarget(aim);
    mAimGuide->mAimTarget = mAimTarget;

    if (CKEMSceneNode* pointer = Find("pointeur cochonnet")) {
        pointer->setToVisible(false);
        mTargetBallPointer = new CTarget(pointer);
        mAimGuide->mTargetBallPointer = mTargetBallPointer;
    }

    if (mMatch) {
        BuildPlayerModel(mMatch->mTeamA);
        BuildPlayerModel(mMatch->mTeamB);
    }

    for (int k = 1; k <= 6; ++k) {
        if (CKEMSceneNode* mark = Find(Numbered("gradaxe ", k))) {
            mark->setToVisible(false);
            mGraduations.push_back(new CAxisGraduation(mark));
        }
    }
    mAimGuide->mGraduations = mGraduations;

    for (int k = 1; k <= 12; ++k) {
        CKEMSceneNode* node = Find(Numbered("boule ", k));
        if (!node)
            continue;
        const bool used = k <= perSide || (k >= 7 && k <= 6 + perSide);
        if (!used) {
            node->setToVisible(false);
            if (CPhysicObject* body = node->getPhysicObject())
                gPhysicMgr.RemoveObject(body);
            continue;
        }
        CBall* ball = new CBall(CBall::KIND_BALL, node);
        ReleaseBall(ball);
        gReplayMgr.AddEntity(node, static_cast<uint8_t>(mBalls.size()));
        ball->CreateContactListener();
        if (computer && ball->mListener)
            ball->mListener->mImpactListener = mRollingEstimator;
        mBalls.push_back(ball);
    }

    for (int k = 1; k <= 6; ++k) {
        CKEMSceneNode* node = Find(Numbered("pointeur best ", k));
        if (!node)
            continue;
        node->setToVisible(false);
        if (k <= perSide)
            mBestBallMarkers.push_back(new CTarget(node));
    }

    for (int k = 1;; ++k) {
        CKEMSceneNode* spectator = Find(Numbered("spectator_", k));
        if (!spectator)
            break;
        spectator->attachScript(new CKEMScript("spectatorScript.lua"));
    }

    CHUDMgr::SetPowerMarker(0.0f);
    HideAllOverlays();

    PlaceVenueLimits(GetTerrain());
    HideAllDecorObjects();
    return true;
}

void CGameMaster::PlaceVenueLimits(Terrain* terrain)
{
    Ogre::Vector3 limit1, limit2, cam1, cam2;
    Find("terrain limite 1")->GetPosition(limit1, 2);
    Find("terrain limite 2")->GetPosition(limit2, 2);
    Find("LimiteCam_01")->GetPosition(cam1, 2);
    Find("LimiteCam_02")->GetPosition(cam2, 2);
    mCamera->SetLimitBoxA(cam1, cam2);
    mCamera->SetLimitBoxB(cam1, cam2);
    gReplayMgr.SetVenueBounds(VenueBox(mBalls));
    if (terrain) {
        terrain->SetLimits(limit1, limit2);
        mAimGuide->mTerrain = terrain;
    }

    mIntroReference = Find("IntroPlayerPosRef");
    mOutroReference = Find("OutroSponsorsPosRef");
    mSponsorsPanel = Find("sponsorsPanel");
    if (mSponsorsPanel)
        mSponsorsPanel->setToVisible(false);
}

Ogre::AxisAlignedBox CGameMaster::VenueBox(const std::vector<CBall*>& balls)
{
    Ogre::AxisAlignedBox venue;
    for (const char* name : {"terrain limite 1", "terrain limite 2", "LimiteCam_01", "LimiteCam_02"}) {
        if (const CKEMSceneNode* node = Find(name)) {
            Ogre::Vector3 corner;
            node->GetPosition(corner, 2);
            venue.merge(corner);
        }
    }
    for (const CBall* ball : balls)
        if (ball && ball->GetNode())
            venue.merge(ball->GetWorldPosition());
    return venue;
}

namespace {

// Two shirts closer than this (RGB, 0 to 1) are told apart only by a close look.
const float kShirtClash = 0.45f;
// The away shirts a side wears when its own is too near the other side's:
// white, red, yellow and green; the one farthest from the other side's.
const Ogre::ColourValue kAwayShirts[] = {Ogre::ColourValue(0.92f, 0.92f, 0.9f), Ogre::ColourValue(0.8f, 0.12f, 0.12f),
                                         Ogre::ColourValue(0.95f, 0.8f, 0.15f), Ogre::ColourValue(0.1f, 0.55f, 0.25f)};

bool ShirtColour(const std::string& material, Ogre::ColourValue& colour)
{
    Ogre::MaterialPtr m = Ogre::MaterialManager::getSingleton().getByName(material);
    if (!m || m->getNumTechniques() == 0 || m->getTechnique(0)->getNumPasses() == 0)
        return false;
    colour = m->getTechnique(0)->getPass(0)->getAmbient();
    return true;
}

float ColourDistance(const Ogre::ColourValue& a, const Ogre::ColourValue& b)
{
    const float r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return std::sqrt(r * r + g * g + bl * bl);
}

}  // namespace

std::string CGameMaster::AwayShirtMaterial(const std::string& own, const std::string& other)
{
    Ogre::ColourValue mine, theirs;
    if (!ShirtColour(own, mine) || !ShirtColour(other, theirs) || ColourDistance(mine, theirs) >= kShirtClash)
        return std::string();
    const Ogre::ColourValue* away = &kAwayShirts[0];
    for (const Ogre::ColourValue& c : kAwayShirts)
        if (ColourDistance(c, theirs) > ColourDistance(*away, theirs))
            away = &c;
    const std::string name = own + "/Away";
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (!materials.getByName(name)) {
        Ogre::MaterialPtr copy = materials.getByName(own)->clone(name);
        Ogre::Pass* pass = copy->getTechnique(0)->getPass(0);
        // The look of the generated shirts: the colour as ambient, a little
        // less as diffuse, a little self-illumination.
        pass->setAmbient(*away);
        pass->setDiffuse(*away * 0.85f);
        pass->setSelfIllumination(*away * 0.2f);
    }
    return name;
}

void CGameMaster::BuildPlayerModel(Team* team)
{
    if (!team)
        return;
    // The second side changes shirts when the first side's look like its own.
    const Team* first = mMatch ? mMatch->mTeamA : nullptr;
    const bool second = first && team == mMatch->mTeamB && !first->mPlayers.empty() && first->mPlayers[0];
    const char* teamText = GetText(team->mName.c_str());
    for (size_t i = 0; i < team->mPlayers.size(); ++i) {
        CPlayer* player = team->mPlayers[i];
        if (!player)
            continue;
        // No whole-entity material: it would paint every part with the skin
        // and leave no "clothes" part for ApplyClothes to dress.
        CKEMSceneObject* model = new CKEMSceneObject(player->GetMeshName(), std::string(), nullptr);
        player->SetNode(model);
        model->setToVisible(false);
        char name[160];
        std::snprintf(name, sizeof(name), "%s_player%u", teamText ? teamText : "", static_cast<unsigned>(i));
        model->setName(name);
        const std::string own = player->GetClothesMaterialName(GetTeamDisplayName(team));
        const std::string away =
            second ? AwayShirtMaterial(own, first->mPlayers[0]->GetClothesMaterialName(GetTeamDisplayName(first)))
                   : std::string();
        player->ApplyClothesMaterial(away.empty() ? own : away);
        player->ApplySkin(CPlayer::PART_SKIN);
        player->ApplySkin(CPlayer::PART_SHOES);
    }
}

void CGameMaster::Term()
{
    gReplayMgr.DeleteAllEntities();
    if (mMatch) {
        for (Team* team : {mMatch->mTeamA, mMatch->mTeamB}) {
            if (!team)
                continue;
            for (CPlayer* player : team->mPlayers)
                if (player)
                    player->SetNode(nullptr);
        }
    }
    mCurrentPlayer = nullptr;
    if (mCamera) {
        mCamera->mMode = CMatchCamera::MODE_NONE;
        mCamera->mPositionTrack = CMatchCamera::Track();
        mCamera->mLookAtTrack = CMatchCamera::Track();
        mCamera->mOrbiting = mCamera->mEnabled = mCamera->mHold = 0;
        mCamera->mLastUpdate = gTimer.GetTimeMs();
    }
}

void CGameMaster::Manage()
{
    if (mCamera && !mCamera->mHold) {
        if (mCamera->mMode == CMatchCamera::MODE_FREE)
            mCamera->UpdateFreeCamera();
        else if (mCamera->mMode == CMatchCamera::MODE_TRACKING)
            mCamera->UpdateTracks();
        mCamera->mLastUpdate = gTimer.GetTimeMs();
    }
    FitMarkersToView();
    if (ENABLE_CHEAT) {
        DebugMoveBalls();
        DumpBalls();
    }
    if (mLaunchSet && mCurrentPlayer && mAimGuide)
        CHUDMgr::UpdateGauges(*mLaunchSet, *mCurrentPlayer, *mAimGuide);
}

void CGameMaster::ResetStartFlags()
{
    mHeld = false;
    if (mCamera)
        mCamera->mHold = 0;
}

// ---- the match's questions ---------------------------------------------------

CPlayer* CGameMaster::GetCurrentPlayer() const
{
    Team* team = GetTeam(GetSideToPlay());
    return team ? team->GetNextPlayerWithBalls(false) : nullptr;
}

Terrain* CGameMaster::GetTerrain() const
{
    return mMatch ? mMatch->mTerrain : nullptr;
}

bool CGameMaster::IsCurrentSideAI() const
{
    if (!mMatch || !mMatch->mMene)
        return false;
    const Team* team = GetTeam(mMatch->mMene->mCurrentSide);
    return team && team->mComputer;
}

bool CGameMaster::IsTargetBallThrown() const
{
    return mTargetBall && mTargetBall->mState == CBall::STATE_LAUNCHED;
}

int32_t CGameMaster::GetBallsInPlayCount() const
{
    if (!mMatch || !mMatch->mMene)
        return 0;
    return static_cast<int32_t>(mMatch->mMene->mBalls[0].size() + mMatch->mMene->mBalls[1].size());
}

bool CGameMaster::GetTargetBallPosition(Ogre::Vector3& position) const
{
    if (!mTargetBall || mCurrentBall == mTargetBall || !mTargetBall->IsTarget())
        return false;
    position = mTargetBall->GetWorldPosition();
    return true;
}

CBall* CGameMaster::GetBall(uint32_t index) const
{
    return index < mBalls.size() ? mBalls[index] : nullptr;
}

std::vector<CBall*> CGameMaster::GetScoringBalls() const
{
    if (!mMatch || !mMatch->mMene)
        return {};
    return mMatch->mMene->mScoringBalls;
}

Team* CGameMaster::GetTeam(int32_t side) const
{
    return mMatch ? mMatch->GetTeam(side) : nullptr;
}

int32_t CGameMaster::GetScore(int32_t side) const
{
    if (!mMatch)
        return 0;
    return side == 0 ? static_cast<int32_t>(mMatch->mScoreA)
                     : side == 1 ? static_cast<int32_t>(mMatch->mScoreB) : 0;
}

int32_t CGameMaster::GetSideToPlay() const
{
    return mMatch && mMatch->mMene ? mMatch->mMene->mCurrentSide : -1;
}

int32_t CGameMaster::GetPlayersPerTeam() const
{
    const Team* team = GetTeam(0);
    return team && !team->mPlayers.empty() ? static_cast<int32_t>(team->mPlayers.size()) : 1;
}

CKEMSceneNode* CGameMaster::GetTargetPointerNode() const
{
    return mTargetBallPointer ? mTargetBallPointer->GetNode() : nullptr;
}

CKEMSceneObject* CGameMaster::GetPlayerNode(const CPlayer* player)
{
    return player ? dynamic_cast<CKEMSceneObject*>(player->GetNode()) : nullptr;
}

bool CGameMaster::IsGaugeDone() const
{
    return mLaunchSet && mLaunchSet->mStep >= 3;
}

int32_t CGameMaster::GetBallsPerSide() const
{
    return BallsPerSide(GetPlayersPerTeam());
}

int32_t CGameMaster::BallsPerSide(int32_t playersPerSide)
{
    if (playersPerSide < 1)
        playersPerSide = 1;
    if (playersPerSide > 3)
        playersPerSide = 3;
    return playersPerSide == 3 ? 6 : playersPerSide * 3;
}

int32_t CGameMaster::NextBallIndex(int32_t ballsPerSide, int32_t side, int32_t ballsLeft)
{
    return ballsPerSide - ballsLeft + 1 + (side == 1 ? ballsPerSide : 0);
}

int32_t CGameMaster::AILevelFor(const Team* team, int32_t difficulty)
{
    if (!team)
        return 0;
    const int32_t row = (difficulty == 0 || difficulty == 1) ? difficulty : 2;
    const int32_t level = team->mDifficulty[row][1];
    return level < 0 ? 0 : level > 10 ? 10 : level;
}
