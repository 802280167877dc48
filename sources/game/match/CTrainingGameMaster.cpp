#include "CTrainingGameMaster.h"

#include "CAimGuide.h"
#include "CBall.h"
#include "CGameElement.h"
#include "CLangDB.h"
#include "CPhysicBallListener.h"
#include "CPlayer.h"
#include "DecorTable.h"
#include "GameDataTable.h"
#include "LaunchSet.h"
#include "PlayerDB.h"
#include "Team.h"
#include "TeamDB.h"
#include "Terrain.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CKEMSceneSound.h>
#include <CMatchCamera.h>
#include <COverlayHolder.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CReplayMgr.h>
#include <HalTimer.h>
#include <Platform.h>

#include <OgreQuaternion.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const char kTableFile[] = "Train_DB.csv";
const int32_t kStageTraining = 4;
const int32_t kFranceCountry = 8;
const char kSuccessSound[] = "SN_ENT_C_01.wav";

// Squared distances of a success.
const float kRingRadius2 = 0.0625f;         // 0.25 m
const float kTargetRadius2 = 0.0225f;       // 0.15 m
const float kShotImpactRadius2 = 0.0121f;   // 0.11 m
const float kShotBallMove2 = 0.16f;         // the shot ball moved 0.4 m at least

// A shot ball still rolling this long after the launch, or fallen off the
// ground, is taken as it lies: the series must not wait for ever.
const uint32_t kShotBallSettleLimitMs = 30000;
const float kFallenHeight = -1.0f;

// The ball to shoot off its spot stands apart from the trainee's grey ball,
// a marker stands over it while the trainee aims, and a disc the size of
// the hit that counts marks its spot.
const char kShotBallMaterial[] = "KEM/TrainingShotBall";
const char kShotMarkerMaterial[] = "KEM/TrainingShotMarker";
const float kShotMarkerHeight = 0.3f;
const Ogre::Vector3 kShotMarkerScale(0.05f, 0.3f, 0.05f);
const float kSpotHeight = 0.003f;
const Ogre::Vector3 kSpotScale(0.11f, 0.002f, 0.11f);
// How far from the exercise a ball at rest is still framed in the result.
const float kPointResultReach = 4.0f;
const float kShotResultReach = 1.5f;

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

void Hide(CKEMSceneNode* node)
{
    if (node)
        node->setToVisible(false);
}

void HideOutOfSimulation(CKEMSceneNode* node)
{
    if (!node)
        return;
    node->setToVisible(false);
    if (CPhysicObject* body = node->getPhysicObject())
        gPhysicMgr.RemoveObject(body);
}

// A number field of the table; false when the field is not a whole number.
bool ReadNumber(const std::string& text, float& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const float read = std::strtof(text.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

// The node and its body at rest where the node stands.
void ResetBody(CKEMSceneNode* node)
{
    CPhysicObject* body = node ? node->getPhysicObject() : nullptr;
    if (!body)
        return;
    body->setLinearVelocity(Ogre::Vector3::ZERO);
    body->setAngularVelocity(Ogre::Vector3::ZERO);
    body->SyncFromNode();
}

}  // namespace

const Ogre::Vector3 CTrainingGameMaster::kNoImpact(0.0f, -1.0f, 0.0f);
const CTrainingGameMaster::ExerciseRow CTrainingGameMaster::kDefaultRow = {0.0f, 6.0f, 1.5f, 0.0f};

// ---- the exercise table ---------------------------------------------------------

int32_t CTrainingGameMaster::ValidExerciseKind(int32_t kind)
{
    if (kind >= 0 && kind < EXERCISE_COUNT)
        return kind;
    PlatLog("CTrainingGameMaster => exercise kind %d is not 0..3: exercise 0 is played", kind);
    return EXERCISE_POINT_RING;
}

CTrainingGameMaster::ExerciseTable CTrainingGameMaster::ReadExerciseTable(const TextTable& table, int32_t* rowsUsed)
{
    ExerciseTable rows;
    rows.fill(kDefaultRow);
    int32_t used = 0;
    for (int32_t r = 0; r < kExerciseRows; ++r) {
        const size_t line = static_cast<size_t>(r) + 1;   // row 0 is the header
        if (line >= table.size()) {
            PlatLog("CTrainingGameMaster => \"%s\" has no exercise %d: the default exercise stands in", kTableFile,
                    r + 1);
            continue;
        }
        const TextTableRow& fields = table[line];
        ExerciseRow row;
        if (!ReadNumber(TableField(fields, 0), row.angle) || !ReadNumber(TableField(fields, 1), row.distance) ||
            !ReadNumber(TableField(fields, 2), row.wallZ) || !ReadNumber(TableField(fields, 3), row.wallX)) {
            PlatLog("CTrainingGameMaster => exercise %d of \"%s\" is not four numbers: the default exercise stands in",
                    r + 1, kTableFile);
            continue;
        }
        rows[static_cast<size_t>(r)] = row;
        ++used;
    }
    if (table.size() > static_cast<size_t>(kExerciseRows) + 1)
        PlatLog("CTrainingGameMaster => \"%s\" has %zu exercises: only the first %d are played", kTableFile,
                table.size() - 1, kExerciseRows);
    if (rowsUsed)
        *rowsUsed = used;
    return rows;
}

CTrainingGameMaster::ExerciseTable CTrainingGameMaster::LoadExerciseTable(const std::string& path)
{
    TextTable table;
    ReadGameDataTable("CTrainingGameMaster::SetupExercise()", path, table);
    return ReadExerciseTable(table);
}

CTrainingGameMaster::ExercisePoints CTrainingGameMaster::ComputeExercisePoints(const ExerciseTable& table,
                                                                              const Ogre::Vector3& circle)
{
    ExercisePoints points{};
    for (int32_t r = 0; r < kExerciseRows; ++r) {
        const ExerciseRow& row = table[static_cast<size_t>(r)];
        const float a = static_cast<float>(row.angle / 180.0f * 3.1415927410125732);
        const float s = static_cast<float>(std::sin(a));
        // The angle bends the direction by its sine against one metre along
        // -z: 90 degrees reads as 45.
        const Ogre::Vector3 direction = Ogre::Vector3(-s, 0.0f, -1.0f).normalisedCopy();
        float* target = points.target[r];
        target[0] = circle.x + row.distance * direction.x;
        target[1] = circle.z + row.distance * direction.z;
        points.wall[r][0] = target[0] + row.wallX;
        points.wall[r][1] = target[1] + row.wallZ;
    }
    return points;
}

// ---- life ---------------------------------------------------------------------------

CTrainingGameMaster::CTrainingGameMaster(int32_t exerciseKind)
    : CGameMaster(nullptr), mExerciseKind(ValidExerciseKind(exerciseKind))
{
    mGameKind = KIND_TRAINING;
}

CTrainingGameMaster::~CTrainingGameMaster()
{
    if (mAimGuide)
        mAimGuide->mTerrain = nullptr;
    delete mTerrain;
    mTerrain = nullptr;
    delete mRing;
    delete mShootingTarget;
    delete mWall;
    mRing = mShootingTarget = mWall = mExerciseTarget = nullptr;
    // The scene deletes the trainee's model.
    if (mTrainee)
        mTrainee->SetNode(nullptr);
    mTrainee = nullptr;
}

void CTrainingGameMaster::RegisterEvents()
{
    if (!mSetUp)
        Init();
}

void CTrainingGameMaster::Term()
{
    CGameMaster::Term();
    if (mTrainee)
        mTrainee->SetNode(nullptr);
}

const std::vector<std::string>& CTrainingGameMaster::RequiredTrainingObjects()
{
    static const std::vector<std::string> names = {"cercle",       "cible",        "boule 1",
                                                   "boule 2",      "terrain limite 1", "terrain limite 2",
                                                   "LimiteCam_01", "LimiteCam_02", "cercle_entrainement",
                                                   "cercle_tir",   "cible_tir",    "mur_entrainement"};
    return names;
}

bool CTrainingGameMaster::Init()
{
    mSetUp = 1;
    for (const std::string& name : RequiredTrainingObjects()) {
        if (!Find(name)) {
            PlatLog("CTrainingGameMaster::Init() => the training ground has no object \"%s\"; the training cannot "
                    "start",
                    name.c_str());
            mSetUpFailed = true;
        }
    }
    Team* team = TeamDB::GetNationalTeam(kFranceCountry);
    mTrainee = PlayerDB::GetTeamPlayer(team, CPlayer::ROLE_MIDDLE);
    if (!mTrainee) {
        PlatLog("CTrainingGameMaster::Init() => no national team %d with a middle player: no trainee", kFranceCountry);
        mSetUpFailed = true;
    }
    if (mSetUpFailed)
        return false;

    CreateCameras();
    mCircle = new CCircle(Find("cercle"));

    CKEMSceneNode* ring = Find("cercle_entrainement");
    if (mExerciseKind == EXERCISE_POINT_RING || mExerciseKind == EXERCISE_POINT_WALL)
        mExerciseTarget = mRing = new CMovableGameElement(ring);
    else
        Hide(ring);
    CKEMSceneNode* spot = Find("cercle_tir");
    if (mExerciseKind == EXERCISE_SHOOT_BALL && spot) {
        mSpotMark = spot;
        mSpotMark->SetScale(kSpotScale);
        mSpotMark->setToVisible(true);
    } else {
        Hide(spot);
    }
    CKEMSceneNode* target = Find("cible_tir");
    if (mExerciseKind == EXERCISE_SHOOT_TARGET)
        mExerciseTarget = mShootingTarget = new CMovableGameElement(target);
    else
        Hide(target);
    CKEMSceneNode* wall = Find("mur_entrainement");
    if (mExerciseKind == EXERCISE_POINT_WALL)
        mWall = new CMovableGameElement(wall);
    else
        HideOutOfSimulation(wall);

    CKEMSceneNode* aim = Find("cible");
    aim->setToVisible(false);
    mAimTarget = new CTarget(aim);
    mAimGuide->mAimTarget = mAimTarget;

    BuildTraineeModel();

    for (int k = 1; k <= 6; ++k) {
        if (CKEMSceneNode* mark = Find(Numbered("gradaxe ", k))) {
            mark->setToVisible(false);
            mGraduations.push_back(new CAxisGraduation(mark));
        }
    }
    mAimGuide->mGraduations = mGraduations;

    for (int k = 1; k <= 2; ++k) {
        CKEMSceneNode* node = Find(Numbered("boule ", k));
        CBall* ball = new CBall(CBall::KIND_BALL, node);
        if (k == 2 && mExerciseKind == EXERCISE_SHOOT_BALL) {
            mTargetBall = ball;
            mExerciseTarget = ball;
            node->setToVisible(true);
            if (CKEMSceneObject* object = dynamic_cast<CKEMSceneObject*>(node))
                object->SetEntityMaterial(kShotBallMaterial);
        } else {
            ReleaseBall(ball);
        }
        ball->CreateContactListener();
        if (ball->mListener)
            ball->mListener->mImpactListener = this;
        mBalls.push_back(ball);
        gReplayMgr.AddEntity(node, static_cast<uint8_t>(k));
    }
    // The ground is also a match venue: what only a match uses stays out of sight.
    HideOutOfSimulation(Find("cochonnet"));
    for (int k = 3; k <= 12; ++k)
        HideOutOfSimulation(Find(Numbered("boule ", k)));
    CKEMSceneNode* pointer = Find("pointeur cochonnet");
    Hide(pointer);
    if (mExerciseKind == EXERCISE_SHOOT_BALL && pointer) {
        mShotBallMarker = pointer;
        mShotBallMarker->SetScale(kShotMarkerScale);
        if (CKEMSceneObject* object = dynamic_cast<CKEMSceneObject*>(pointer))
            object->SetEntityMaterial(kShotMarkerMaterial);
    }
    for (int k = 1; k <= 6; ++k)
        Hide(Find(Numbered("pointeur best ", k)));
    // No prize-giving after a training.
    HideAllDecorObjects();

    CHUDMgr::SetPowerMarker(0.0f);
    HideAllOverlays();

    mTerrain = new Terrain(kStageTraining);
    PlaceVenueLimits(mTerrain);

    SetupExercise();
    return true;
}

void CTrainingGameMaster::BuildTraineeModel()
{
    CKEMSceneObject* model = new CKEMSceneObject(mTrainee->GetMeshName(), std::string(), nullptr);
    mTrainee->SetNode(model);
    model->setToVisible(false);
    model->setName(mTrainee->GetName());
    // The trainee throws for no team: in the player's own shirt, the one the
    // portrait on the player panel shows.
    mTrainee->ApplySkin(CPlayer::PART_SKIN);
    mTrainee->ApplySkin(CPlayer::PART_SHOES);
}

// ---- the series ---------------------------------------------------------------------

int32_t CTrainingGameMaster::GetExerciseThrowMode() const
{
    return mExerciseKind == EXERCISE_POINT_RING || mExerciseKind == EXERCISE_POINT_WALL ? CPlayer::THROW_POINTING
                                                                                           : CPlayer::THROW_SHOOTING;
}

void CTrainingGameMaster::SetupExercise()
{
    const Ogre::Vector3 circle = mCircle ? mCircle->GetWorldPosition() : Ogre::Vector3::ZERO;
    mPoints = ComputeExercisePoints(LoadExerciseTable(std::string(GAME_DATA_FOLDER) + kTableFile), circle);
    PlaceExercise();
    mCurrentBall = GetThrownBall();
    if (!mTrainee)
        return;
    mTrainee->mBallsLeft = kSeriesLength;
    // The throw begins with the exercise's mode: its animations and angles.
    mTrainee->mThrowMode = GetExerciseThrowMode();
    SetCurrentPlayer(mTrainee);
    FaceTarget();
}

void CTrainingGameMaster::PlaceExercise()
{
    const int32_t t = ((mTargetIndex % kExerciseRows) + kExerciseRows) % kExerciseRows;
    const int32_t w = ((mWallIndex % kExerciseRows) + kExerciseRows) % kExerciseRows;
    const float x = mPoints.target[t][0], z = mPoints.target[t][1];
    if (mExerciseKind == EXERCISE_SHOOT_BALL) {
        if (CBall* shot = GetShotBall()) {
            CKEMSceneNode* node = shot->GetNode();
            const float height = node ? node->GetInitialPosition().y : 0.0f;
            SetNodeWorldPosition(node, Ogre::Vector3(x, height, z));
            ResetBody(node);
            if (node && node->getPhysicObject())
                gPhysicMgr.RegisterObject(node->getPhysicObject());
            mBallStart = shot->GetWorldPosition();
            mBallStart.y = 0.0f;
            if (mSpotMark)
                SetNodeWorldPosition(mSpotMark, Ogre::Vector3(x, kSpotHeight, z));
            if (mShotBallMarker) {
                SetNodeWorldPosition(mShotBallMarker, Ogre::Vector3(x, height + kShotMarkerHeight, z));
                mShotBallMarker->setToVisible(true);
            }
        }
    } else if (mExerciseTarget) {
        mExerciseTarget->SetPosition2D(x, z);
    }
    if (mWall)
        PlaceWall(mPoints.wall[w][0], mPoints.wall[w][1]);
}

void CTrainingGameMaster::PlaceWall(float x, float z)
{
    CKEMSceneNode* node = mWall->GetNode();
    if (!node)
        return;
    CPhysicObject* body = node->getPhysicObject();
    if (body)
        gPhysicMgr.RemoveObject(body);
    mWall->SetPosition2D(x, z);
    // The wall stands across the line from the circle.
    const Ogre::Vector3 circle = mCircle ? mCircle->GetWorldPosition() : Ogre::Vector3::ZERO;
    Ogre::Vector3 across(x - circle.x, 0.0f, z - circle.z);
    if (!across.isZeroLength())
        node->SetOrientation(Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(across, Ogre::Vector3::UNIT_Y), false);
    if (body) {
        body->SetTransform(Ogre::Vector3::ZERO);
        body->SetOrientation(Ogre::Quaternion::IDENTITY);
        body->SyncFromNode();
        gPhysicMgr.RegisterObject(body);
    }
}

void CTrainingGameMaster::NextExercise()
{
    mTargetIndex = (mTargetIndex + 1) % kExerciseRows;
    mWallIndex = (mWallIndex + 1) % kExerciseRows;
}

void CTrainingGameMaster::ResetSeries()
{
    mSuccesses = mThrows = 0;
    mFirstImpact = kNoImpact;
    mTargetIndex = mWallIndex = 0;
    if (mTrainee)
        mTrainee->mBallsLeft = kSeriesLength;
}

bool CTrainingGameMaster::IsThrowFinished()
{
    if (!mLaunchSet || mLaunchSet->mStep != 9)
        return false;
    CBall* shot = GetShotBall();
    if (!shot || !shot->IsMoving())
        return true;
    const Ogre::Vector3 at = shot->GetWorldPosition();
    const bool overdue = gTimer.GetTimeMs() - mLaunchSet->mLaunchStartTime > kShotBallSettleLimitMs;
    if (at.y >= kFallenHeight && !overdue)
        return false;
    PlatLog("CTrainingGameMaster::IsThrowFinished() => the shot ball %s: taken as it lies",
            overdue ? "still rolls 30 s after the launch" : "fell off the ground");
    ResetBody(shot->GetNode());
    return true;
}

void CTrainingGameMaster::UpdateThrow()
{
    if (mLaunchSet && mLaunchSet->mStep == 0 && mTrainee) {
        mCurrentBall = GetThrownBall();
        mTrainee->mThrowMode = GetExerciseThrowMode();
        SetCurrentPlayer(mTrainee);
        FaceTarget();
    }
    CGameMaster::UpdateThrow();
}

void CTrainingGameMaster::FaceTarget()
{
    if (!mCurrentPlayer || !mAimGuide || !mExerciseTarget) {
        CGameMaster::FaceTarget();
        return;
    }
    mAimGuide->SetAimPoint(mExerciseTarget->GetWorldPosition());
}

CKEMSceneNode* CTrainingGameMaster::GetCameraFocusNode() const
{
    return mExerciseTarget ? mExerciseTarget->GetNode() : CGameMaster::GetCameraFocusNode();
}

float CTrainingGameMaster::GetLaunchCameraHeight() const
{
    const float normal = CGameMaster::GetLaunchCameraHeight();
    if (!mWall || !mRing || !mCurrentPlayer || !mWall->GetNode())
        return normal;
    const Ogre::Vector3 player = mCurrentPlayer->GetWorldPosition();
    const Ogre::Vector3 ring = mRing->GetWorldPosition(), wall = mWall->GetWorldPosition();
    auto flat = [&](const Ogre::Vector3& p) { return Ogre::Vector2(p.x - player.x, p.z - player.z).length(); };
    // From the camera: the ring's near edge and the wall's face.
    const float ringRadius = 0.25f, margin = 0.2f;
    const float toRing = flat(ring) + kLaunchCameraBack - ringRadius;
    const float toWall = flat(wall) + kLaunchCameraBack;
    if (!(toRing > toWall + 0.05f))
        return normal;
    CKEMSceneNode* node = mWall->GetNode();
    node->UpdateBounds(false, false, false);
    const float top = std::max(node->GetAxisAlignedBox().max.y, wall.y);
    // The sight line to the ring's edge passes `margin` over the wall's top.
    const float height = (top + margin) / (1.0f - toWall / toRing);
    return std::min(6.0f, std::max(normal, height));
}

void CTrainingGameMaster::FrameThrowResult()
{
    // The marker stood where the ball was: the spot's disc says it now. The
    // aim's distance marks are no part of the result either.
    Hide(mShotBallMarker);
    for (CAxisGraduation* mark : mGraduations)
        if (mark)
            Hide(mark->GetNode());
    if (!mExerciseTarget)
        return;
    const Ogre::Vector3 focus =
        mExerciseKind == EXERCISE_SHOOT_BALL ? mBallStart : mExerciseTarget->GetWorldPosition();
    std::vector<Ogre::Vector3> points{focus};
    // A ball that ran far from the exercise is left out: the view would
    // grow too wide to see the ring or the target. A pointing result shows
    // where the ball rests against the ring; a shot ball is the exercise's
    // own and shows wherever it went near; the thrown ball of a shot runs
    // on past its target and only one that stopped by it belongs there.
    const bool shooting = mExerciseKind == EXERCISE_SHOOT_TARGET || mExerciseKind == EXERCISE_SHOOT_BALL;
    const struct {
        const CBall* ball;
        float reach;
    } framed[] = {{GetThrownBall(), shooting ? kShotResultReach : kPointResultReach},
                  {GetShotBall(), kPointResultReach}};
    for (const auto& f : framed) {
        const CBall* ball = f.ball;
        if (!ball || ball->mState == CBall::STATE_OUT || !ball->GetNode() || !ball->GetNode()->IsVisible())
            continue;
        const Ogre::Vector3 at = ball->GetWorldPosition();
        if (std::isfinite(at.x) && std::isfinite(at.z) && at.distance(focus) <= f.reach)
            points.push_back(at);
    }
    Ogre::Vector3 from = mCircle ? mCircle->GetWorldPosition() : focus + Ogre::Vector3::UNIT_Z;
    if (mWall) {
        // Seen from the circle the wall stands before the ring and hides a
        // ball that came down behind it: the view looks along the wall's
        // face, from the side, over both sides of it.
        const Ogre::Vector3 wall = mWall->GetWorldPosition();
        const Ogre::Vector3 across(wall.x - from.x, 0.0f, wall.z - from.z);
        if (!across.isZeroLength())
            from = focus + Ogre::Vector3(-across.z, 0.0f, across.x);
    }
    FrameStill(points, from);
}

// ---- the referee's questions ----------------------------------------------------------

int32_t CTrainingGameMaster::GetBallsInPlayCount() const
{
    return mTrainee ? kSeriesLength - mTrainee->mBallsLeft : 0;
}

bool CTrainingGameMaster::GetTargetBallPosition(Ogre::Vector3& position) const
{
    if (!mRing)
        return false;
    position = mRing->GetWorldPosition();
    return true;
}

ThrowResult& CTrainingGameMaster::EvaluateThrow(ThrowResult& result)
{
    result.valid = 1;
    result.reaction = 0;
    CBall* thrown = GetThrownBall();
    bool success = false;
    if (thrown) {
        switch (mExerciseKind) {
        case EXERCISE_POINT_RING:
        case EXERCISE_POINT_WALL:
            success = mRing && thrown->SquaredDistanceTo(*mRing) <= kRingRadius2;
            break;
        case EXERCISE_SHOOT_TARGET:
            success = mShootingTarget && HasFirstImpact() &&
                      mFirstImpact.squaredDistance(mShootingTarget->GetWorldPosition()) <= kTargetRadius2;
            mFirstImpact = kNoImpact;
            break;
        case EXERCISE_SHOOT_BALL: {
            const CBall* shot = GetShotBall();
            success = shot && HasFirstImpact() && mFirstImpact.squaredDistance(mBallStart) <= kShotImpactRadius2 &&
                      shot->GetWorldPosition().squaredDistance(mBallStart) >= kShotBallMove2 &&
                      thrown->mState != CBall::STATE_OUT;
            mFirstImpact = kNoImpact;
            break;
        }
        default:
            break;
        }
    }
    if (success)
        ++mSuccesses;
    ++mThrows;
    PlayResultSound(success);
    if (mLaunchSet)
        mLaunchSet->mStep = 0;
    if (mTrainee) {
        mTrainee->mStress = 0;
        mTrainee->mFatigue = 0;
        mTrainee->mBallsLeft = mThrows < kSeriesLength ? kSeriesLength - mThrows : 0;
    }
    return result;
}

void CTrainingGameMaster::PlayResultSound(bool success)
{
    if (success)
        CKEMSceneSound::CreateSource(kSuccessSound, 0.5f, false, nullptr, 1.0f, 3.0f, 300.0f, 1.0f);
    else
        gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_ERROR);
}

// ---- impacts ------------------------------------------------------------------------------

void CTrainingGameMaster::OnImpact(CKEMSceneNode* ball, float x, float y, float z)
{
    // Only the ball of the throw, once it left the hand and until it rests:
    // the ball to be shot lying on its spot touches the ground too.
    const CBall* thrown = GetThrownBall();
    const int32_t step = mLaunchSet ? mLaunchSet->mStep : 0;
    if (!thrown || !ball || ball != thrown->GetNode() || thrown->mState != CBall::STATE_LAUNCHED || step < 5 ||
        step > 8)
        return;
    if (HasFirstImpact())
        return;
    mFirstImpact = Ogre::Vector3(x, y, z);
}

void CTrainingGameMaster::OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode*, float x, float y, float z)
{
    OnImpact(ball, x, y, z);
}
