// How well the computer plays against itself: seeded one-a-side matches to
// 13 between two computer sides, without display, on the Marseille ground's
// physics (its step, materials, ball sizes and playing rectangle on a flat
// ground). Each match runs the rolling calibration, then every mene: the
// target-ball throw and the balls, each decided by the strategy manager and
// thrown with the errors of the side's level, the balls' contact rules
// bringing them to rest, and the match rules scoring them. The game clock is
// a fixed 60 Hz step and the computer's clock a virtual one, so a seed always
// gives the same match.
//
//   ai_match_figure [matches per pairing, default 20] [first seed, default 1]
//
// AI_FIGURE_VERBOSE=1 prints every throw (aim, landing, rest) and the
// calibration samples; AI_FIGURE_TERRAIN_FRICTION=<mu> replaces the ground's
// friction; AI_FIGURE_PROBE=1 only prints how far a straight throw of the
// target ball and of a ball rolls.
//
// Prints, for hard (level 9) against easy (level 3) and easy against easy,
// each side's win rate and the mean points per mene. A figure, not a test.
#include "SceneText.h"

#include <AIParameters.h>
#include <CAITaskScheduler.h>
#include <CBall.h>
#include <CGameElement.h>
#include <CGraphicElementRegistry.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <COdeWorld.h>
#include <CPhysicBallListener.h>
#include <CPhysicMaterial.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CPhysicsSystemODE.h>
#include <CPlayer.h>
#include <CRollingEstimator.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <CaracDB.h>
#include <GameDifficulty.h>
#include <HalTimer.h>
#include <LaunchSet.h>
#include <MatchState.h>
#include <Platform.h>
#include <StrategyManager.h>
#include <Team.h>
#include <Terrain.h>
#include <TuningLoader.h>
#include <TuningParameters.h>

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace scenetext;

namespace {

const float kFrameSeconds = 1.0f / 60.0f;
const uint32_t kFrameMs = 16;
const int kMaxThrowFrames = 60 * 30;      // a throw whose balls still move after 30 s is taken as it lies
const int kMaxDecisionFrames = 60 * 10;
const int kMaxMenes = 60;
const int kMaxThrowsPerMene = 40;
const float kRestSpeed = 0.02f;
const int kHardLevel = 9;   // the hard difficulty's strongest teams
const int kEasyLevel = 3;   // the easy difficulty's middle teams
const int kDifficulty = 1;  // medium: the throw error coefficients of both sides

uint32_t gVirtualClock = 0;
bool gVerbose = std::getenv("AI_FIGURE_VERBOSE") != nullptr;
uint32_t VirtualClock() { return gVirtualClock; }

class FigureNode : public CKEMSceneNode {
public:
    FigureNode(CKEMSceneNode* parent, const std::string& name) : CKEMSceneNode(parent) {
        SetGraphicNode(new CKEMSceneGraphicHandle(this));
        CWrapOgreNode* parentGraphics =
            (parent && parent->GetGraphicNode()) ? parent->GetGraphicNode()->getNode() : nullptr;
        mGraphicHandle->create(parentGraphics);
        setName(name);
    }
};

// The ball contact rules without sound (no audio device here).
class SilentBallListener : public CPhysicBallListener {
public:
    explicit SilentBallListener(CBall* ball) : CPhysicBallListener(ball) {}

protected:
    void PlayImpactSound(const char*, float, float, const Ogre::Vector3&) override {}
};

// OGRE without a display, the graphics world and an ODE world.
class Headless {
public:
    Headless() {
        mLog = new Ogre::LogManager();
        mLog->createLog("ai_match_figure.ogre.log", true, false, true);
        mRoot = new Ogre::Root("", "", "");
        mBuffers = new Ogre::DefaultHardwareBufferManager();
        mTextures = new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        CPhysicsSystemODE::InitLibrary();
        std::map<std::string, std::string> params;
        params["windowAlreadyCreated"] = "yes";
        params["renderWindowPtr"] = "0";
        params["shutdownOgre"] = "false";
        params["parseDefaultResourceFile"] = "false";
        mSystem.reset(new CWrapOgreSystem(params));
        mRegistry.reset(new CGraphicElementRegistry(nullptr));
        mGraphics.reset(CWrapOgreSystem::CreateWorld());
        mWorld = CPhysicsSystemODE().CreateWorld();
        gPhysicMgr.CreateWorld(mWorld);
        CKEMSceneGraph::CreateRootNode();
    }
    COdeWorld* World() const { return mWorld; }

private:
    Ogre::LogManager* mLog;
    Ogre::Root* mRoot;
    Ogre::DefaultHardwareBufferManager* mBuffers;
    Ogre::DefaultTextureManager* mTextures;
    std::unique_ptr<CWrapOgreSystem> mSystem;
    std::unique_ptr<CGraphicElementRegistry> mRegistry;
    std::unique_ptr<CWrapOgreWorld> mGraphics;
    COdeWorld* mWorld = nullptr;
};

struct MatchResult {
    int winner = -1;   // side
    uint32_t score[2] = {0, 0};
    std::vector<uint32_t> menePoints;
    int throws = 0;
    int targetThrows = 0, failedTargetThrows = 0;
    bool complete = false;
};

class Match {
public:
    Match(Headless& env, const ThrowProfile* pointing, const ThrowProfile* shooting, int levelA, int levelB)
        : mEnv(env) {
        const int levels[2] = {levelA, levelB};
        for (int s = 0; s < 2; ++s) {
            mPlayers[s].reset(new CPlayer(s == 0 ? "Aurel" : "Belmiro"));
            mPlayers[s]->mPointingProfile = pointing;
            mPlayers[s]->mShootingProfile = shooting;
            mPlayers[s]->mRole = CPlayer::ROLE_POINTER;
            mTeams[s].reset(new Team(s == 0 ? "side A" : "side B"));
            mTeams[s]->mPlayers.push_back(mPlayers[s].get());
            mTeams[s]->mComputer = true;
            for (int d = 0; d < 3; ++d)
                mTeams[s]->mDifficulty[d][1] = levels[s];
        }
        // The match state loads its venue scene (not found here: the scene
        // starts empty), so the ground and balls come after.
        mState.reset(new MatchState(mTeams[0].get(), mTeams[1].get(), 13, 1, 0));
        BuildScene();
        mState->mTerrain->SetLimits(Ogre::Vector3(-2.0f, 0.0f, -7.5f), Ogre::Vector3(2.0f, 0.0f, 7.5f));
        mState->mCircle = mCircle.get();
        mParameters = AIParameters(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
        mEstimator.reset(new CRollingEstimator(&mParameters));
        mManager.reset(new StrategyManager(mState.get(), &mParameters, mEstimator.get()));
        mLaunchSet.reset(new LaunchSet(nullptr));   // the difficulty's error coefficients
    }
    ~Match() {
        mManager.reset();
        for (CBall* ball : mBalls)
            delete ball;
        mCircle.reset();
        mState.reset();
        CKEMSceneGraph::DestroyRootNode();
        gPhysicMgr.Clear();
        gPhysicMgr.CreateWorld(mEnv.World());
        CKEMSceneGraph::CreateRootNode();
    }

    // How far the target ball and a ball roll after landing, thrown
    // straight from the circle at the target-ball choice's angles.
    void Probe() {
        const float angles[] = {static_cast<float>(ANGLE_MAX_POINTE), ANGLE_POINTE_MOYEN};
        for (int which = 0; which < 2; ++which) {
            for (float angle : angles) {
                for (float distance : {4.5f, 5.5f, 6.5f, 8.0f}) {
                    CBall* ball = mBalls[which == 0 ? 0 : 1];
                    Park(ball, which);
                    const Ogre::Vector3 start(0.0f, HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE, 5.6f);
                    const float speed = ComputeLaunchSpeed(distance, angle * Ogre::Math::fDeg2Rad,
                                                           -HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE, 9.81f);
                    ball->GetNode()->setPosition(start, true);
                    ball->Launch(angle, speed, 0.0f, Ogre::Vector3::NEGATIVE_UNIT_Z);
                    for (int frame = 0; frame < kMaxThrowFrames; ++frame) {
                        Frame();
                        if (frame > 10 && !Moving(ball))
                            break;
                    }
                    const float rest = 5.6f - ball->GetWorldPosition().z;
                    std::printf("  %s angle %2.0f flight %.1f m: rests %.2f m from the hand (rolled %.2f), %.2f m from the circle\n",
                                which == 0 ? "target ball" : "ball       ", angle, distance, rest, rest - distance,
                                rest + 0.4f);
                }
            }
        }
    }

    MatchResult Play(int startingSide) {
        MatchResult result;
        Calibrate();
        mState->mNextStartingSide = startingSide;
        for (int mene = 0; mene < kMaxMenes; ++mene) {
            PlayMene(result);
            result.menePoints.push_back(mState->mMene->mPoints[0] + mState->mMene->mPoints[1]);
            if (mState->mScoreA >= 13 || mState->mScoreB >= 13) {
                result.complete = true;
                break;
            }
        }
        result.score[0] = mState->mScoreA;
        result.score[1] = mState->mScoreB;
        // Equal scores count as a win of the second side.
        result.winner = result.score[0] > result.score[1] ? 0 : 1;
        return result;
    }

private:
    void BuildScene() {
        gPhysicMgr.CreateWorld(mEnv.World());
        new FigureNode(nullptr, "terrain");
        std::string objects = Object("terrain", 0, 0, 20.0f, 1.0f, 20.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f);
        std::vector<CKEMSceneNode*> nodes;
        for (int i = 0; i <= 6; ++i) {
            const std::string name = i == 0 ? "cochonnet" : "boule " + std::to_string(i);
            nodes.push_back(new FigureNode(nullptr, name));
            const float radius = i == 0 ? 0.015f : 0.0375f;
            objects += Object(name, 1, 1, radius, radius, radius, i == 0 ? 0.015f : 0.7f, "boule");
        }
        // The venue's own physics step and materials; the objects are ours.
        std::ifstream venue(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/marseille.xml");
        std::stringstream venueText;
        venueText << venue.rdbuf();
        if (!gPhysicMgr.LoadSettingsAndMaterials(venueText.str().c_str()) || !gPhysicMgr.FindMaterial("terrain") ||
            !gPhysicMgr.FindMaterial("boule") || !gPhysicMgr.LoadObjectsAndJoints(Root(objects).c_str())) {
            std::fprintf(stderr, "ai_match_figure: the physics scene does not load\n");
            std::exit(1);
        }
        if (const char* friction = std::getenv("AI_FIGURE_TERRAIN_FRICTION"))
            gPhysicMgr.FindMaterial("terrain")->SetFriction1(std::strtof(friction, nullptr));
        for (size_t i = 0; i < nodes.size(); ++i) {
            CBall* ball = new CBall(i == 0 ? CBall::KIND_TARGET : CBall::KIND_BALL, nodes[i]);
            ball->mListener = new SilentBallListener(ball);
            nodes[i]->SetContactListener(ball->mListener);
            mBalls.push_back(ball);
            Park(ball, static_cast<int>(i));
        }
        for (int s = 0; s < 2; ++s)
            mPlayers[s]->SetNode(new FigureNode(nullptr, "joueur " + std::to_string(s)));
        mCircle.reset(new CCircle(new FigureNode(nullptr, "cercle")));
        mCircle->SetWorldPosition(Ogre::Vector3(0.0f, 0.0f, 6.0f));
    }

    // Off the ground's rectangle and out of the simulation.
    void Park(CBall* ball, int index) {
        if (CPhysicObject* object = ball->GetNode()->getPhysicObject()) {
            object->setLinearVelocity(Ogre::Vector3::ZERO);
            object->setAngularVelocity(Ogre::Vector3::ZERO);
            if (gPhysicMgr.HasObject(object))
                gPhysicMgr.RemoveObject(object);
        }
        ball->GetNode()->setPosition(Ogre::Vector3(-8.0f, 0.05f, -6.0f + 1.0f * index), true);
        ball->mState = CBall::STATE_NONE;
        ball->mEffect = CBall::EFFECT_NONE;
    }

    void Frame() {
        gVirtualClock += kFrameMs;
        gTimer.mGameTime += kFrameMs;
        gTimer.mGameDeltaS = kFrameSeconds;
        gTimer.mGameDeltaMs = kFrameSeconds * 1000.0f;
        gPhysicMgr.Step();
        g_AITaskScheduler.RunFrame();
    }

    bool Moving(const CBall* ball) const {
        const CPhysicObject* object = ball->GetNode()->getPhysicObject();
        if (!object || !gPhysicMgr.HasObject(object))
            return false;
        return object->getLinearVelocity().length() >= kRestSpeed;
    }

    void Calibrate() {
        for (CBall* ball : mBalls)
            if (ball->mListener)
                ball->mListener->mImpactListener = mEstimator.get();
        mEstimator->Calibrate(mBalls);
        std::vector<bool> rested(mBalls.size(), false);
        for (int frame = 0; !mEstimator->AdvanceCalibration(gTimer.mGameTime); ++frame) {
            Frame();
            for (size_t i = 1; i < mBalls.size(); ++i) {
                if (frame < 10 || rested[i] || Moving(mBalls[i]))
                    continue;
                rested[i] = true;
                mEstimator->UpdateCalibration(mBalls[i]->GetNode());
            }
        }
        for (CBall* ball : mBalls)
            if (ball->mListener)
                ball->mListener->mImpactListener = nullptr;
        mSamples = mEstimator->GetSamples().size();
        if (gVerbose)
            for (const CalibrationSet& c : mEstimator->GetSamples())
                std::printf("    calibration: angle %.0f speed %.1f effect %.1f rolled %.2f\n", c.angle, c.velocity,
                            c.effect, c.result);
    }

    void PlayMene(MatchResult& result) {
        for (size_t i = 0; i < mBalls.size(); ++i)
            Park(mBalls[i], static_cast<int>(i));
        mState->StartMene();
        MeneRecord* mene = mState->mMene;
        for (int t = 0; t < kMaxThrowsPerMene && !IsMeneOver(mene); ++t) {
            const bool target = mene->mTargetBall == nullptr;
            const int side = mene->mCurrentSide == 1 ? 1 : 0;
            CBall* ball = target ? mBalls[0] : NextBall(side);
            if (!ball)
                break;
            // The side's thrower waits in the circle facing the play, as the
            // referee places it before the computer decides.
            if (CPlayer* waiting = mTeams[side]->GetNextPlayerWithBalls(false)) {
                SetNodeWorldPosition(waiting->GetNode(), mCircle->GetWorldPosition() * Ogre::Vector3(1, 0, 1));
                waiting->LookAt(target ? mState->mTerrain->GetFarLimitPoint(mCircle->GetWorldPosition())
                                       : mene->mTargetBall->GetWorldPosition());
            }
            mManager->Reset();
            int frames = 0;
            while (!mManager->IsReady() && frames++ < kMaxDecisionFrames) {
                mManager->Update();
                gVirtualClock += kFrameMs;
                g_AITaskScheduler.RunFrame();
            }
            if (!mManager->IsReady())
                break;
            Throw(side, ball, target);
            ++result.throws;
            if (gVerbose) {
                const Ogre::Vector3 p = ball->GetWorldPosition();
                const Ogre::Vector3 a = mManager->GetChosenPoint();
                const float toTarget = mene->mTargetBall ? p.distance(mene->mTargetBall->GetWorldPosition()) : -1.0f;
                std::printf("    side %d %s kind %d aim (%.2f %.2f) angle %.0f mode %d -> (%.2f %.2f) state %d, %.2f m from the target ball\n",
                            side, target ? "target" : ball->GetNode()->getName().c_str(),
                            target ? -1 : mManager->GetChosenStrategy().kind, a.x, a.z, mManager->GetChosenAngle(),
                            mManager->GetChosenMode(), p.x, p.z, ball->mState, toTarget);
            }
            if (target) {
                ++result.targetThrows;
                if (!mState->AfterThrow(ball)) {
                    ++result.failedTargetThrows;
                    Park(ball, 0);   // thrown again
                }
            } else {
                mState->AfterThrow(ball);
            }
        }
    }

    // The next ball of the side: balls 1-3 are side 0's, 4-6 side 1's.
    CBall* NextBall(int side) {
        for (int i = 1; i <= 3; ++i) {
            CBall* ball = mBalls[static_cast<size_t>(side * 3 + i)];
            if (ball->mState == CBall::STATE_NONE)
                return ball;
        }
        return nullptr;
    }

    static float DistanceForSpeed(float speed, float angleDegrees, float height, float gravity) {
        const float a = angleDegrees * Ogre::Math::fDeg2Rad;
        const float c = std::cos(a), t = std::tan(a);
        if (speed <= 0.0f)
            return 0.0f;
        const float A = 0.5f * gravity / (speed * speed * c * c);
        const float disc = t * t + 4.0f * A * height;
        if (disc < 0.0f)
            return 0.0f;
        return (t + std::sqrt(disc)) / (2.0f * A);
    }

    // The thrower steps into the circle, aims at the chosen point and
    // throws with its side's errors: the speed off by up to (10 - level)
    // times the power coefficient, the direction by the unbalance (at most
    // 5 gauge points either way).
    void Throw(int side, CBall* ball, bool target) {
        Team* team = mTeams[side].get();
        CPlayer* player = mManager->GetChosenPlayer();
        team->SetCurrentPlayer(player);
        const int kind = (!target && mManager->GetChosenStrategy().kind == BaseStrategy::KIND_SHOOT)
                             ? CPlayer::THROW_SHOOTING
                             : CPlayer::THROW_POINTING;
        player->mThrowMode = kind;
        Ogre::Vector3 aim = mManager->GetChosenPoint();
        aim.y = 0.0f;
        const float angle = mManager->GetChosenAngle();
        SetNodeWorldPosition(player->GetNode(), mCircle->GetWorldPosition() * Ogre::Vector3(1, 0, 1));
        player->LookAt(aim);
        const float height =
            kind == CPlayer::THROW_SHOOTING ? HAUTEUR_BOULE_INITIALE_MOYENNE_TIR : HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE;
        Ogre::Vector3 start = player->GetReleasePoint(kind);
        start.y = height;
        Ogre::Vector3 direction = aim - start;
        direction.y = 0.0f;
        const float distance = direction.length();
        const float gravity = 9.81f;
        const float rad = angle * Ogre::Math::fDeg2Rad;
        float speed = ComputeLaunchSpeed(distance, rad, -height, gravity);

        const int level = team->GetAILevel();
        const float powerAmplitude = static_cast<float>(10 - level) * mLaunchSet->mPowerErrorCoef;
        float e = static_cast<float>(KemRand()) / 32767.0f * powerAmplitude;
        if (KemRand() & 1)
            e = -e;
        const float presetDistance = DistanceForSpeed(speed + e, angle, height, gravity);
        const float malus = player->GetBalanceMalusForSpeed(kind, speed, angle);
        const float balanceAmplitude = mLaunchSet->mAwkwardnessInfluence * static_cast<float>(10 - level) +
                                       mLaunchSet->mUnbalanceInfluence * (10.0f - malus);
        float unbalance = static_cast<float>(KemRand()) / 32767.0f * balanceAmplitude;
        if (unbalance > 5.0f)
            unbalance = 5.0f;
        if (KemRand() & 1)
            unbalance = -unbalance;
        const float unbalanceDegrees =
            unbalance * (kind == CPlayer::THROW_SHOOTING ? COEF_DESEQUILIBRE_TIR : COEF_DESEQUILIBRE_POINTE);
        direction = Ogre::Quaternion(Ogre::Degree(unbalanceDegrees), Ogre::Vector3::UNIT_Y) * direction;
        speed = ComputeLaunchSpeed(presetDistance, rad, -height, gravity);

        ball->mEffect = CBall::EFFECT_NONE;
        float effect = 0.0f;
        const int mode = target ? 0 : mManager->GetChosenMode();
        if (mode != 0) {
            ball->mEffect = mode == 1 ? CBall::EFFECT_FORWARD : mode == 2 ? CBall::EFFECT_SIDE_LEFT : CBall::EFFECT_SIDE_RIGHT;
            effect = static_cast<float>(player->GetEffectsWithMalus(kind)) / 10.0f;
        }
        ball->GetNode()->setPosition(start, true);
        ball->Launch(angle, speed, effect, direction);

        // Until every ball in play lies still.
        bool landed = false;
        for (int frame = 0; frame < kMaxThrowFrames; ++frame) {
            Frame();
            if (gVerbose && !landed && ball->GetWorldPosition().y < 0.06f) {
                landed = true;
                const Ogre::Vector3 p = ball->GetWorldPosition();
                std::printf("      start (%.2f %.2f %.2f) speed %.2f, lands at (%.2f %.2f) for an aim at (%.2f %.2f), estimated roll %.2f\n",
                            start.x, start.y, start.z, speed, p.x, p.z, aim.x, aim.z,
                            mEstimator->Estimate(angle, effect, speed));
            }
            bool moving = false;
            for (CBall* b : mBalls)
                moving = moving || (b->mState != CBall::STATE_NONE && Moving(b));
            if (frame > 10 && !moving)
                break;
        }
        // Balls off the playing rectangle (or through the ground) are out.
        for (CBall* b : mBalls) {
            if (b->mState == CBall::STATE_NONE || b->mState == CBall::STATE_OUT)
                continue;
            const Ogre::Vector3 p = b->GetWorldPosition();
            if (!std::isfinite(p.x) || !std::isfinite(p.z) || p.y < -0.5f || mState->mTerrain->IsOutside(p))
                b->mState = CBall::STATE_OUT;
        }
    }

    Headless& mEnv;
    std::unique_ptr<CPlayer> mPlayers[2];
    std::unique_ptr<Team> mTeams[2];
    std::unique_ptr<MatchState> mState;
    std::unique_ptr<CCircle> mCircle;
    std::vector<CBall*> mBalls;   // 0 the target ball
    AIParameters mParameters;
    std::unique_ptr<CRollingEstimator> mEstimator;
    std::unique_ptr<StrategyManager> mManager;
    std::unique_ptr<LaunchSet> mLaunchSet;
    size_t mSamples = 0;
};

struct Tally {
    int wins[2] = {0, 0};
    int matches = 0, incomplete = 0;
    long menes = 0, points = 0, throws = 0, targetThrows = 0, failedTargetThrows = 0;
};

void Report(const char* title, const char* nameA, const char* nameB, const Tally& t) {
    std::printf("%s: %d matches\n", title, t.matches);
    std::printf("  %-14s wins %2d  (%.0f %%)\n", nameA, t.wins[0], 100.0 * t.wins[0] / t.matches);
    std::printf("  %-14s wins %2d  (%.0f %%)\n", nameB, t.wins[1], 100.0 * t.wins[1] / t.matches);
    std::printf("  menes %ld, mean points per mene %.2f, mean throws per match %.1f%s\n", t.menes,
                t.menes ? static_cast<double>(t.points) / t.menes : 0.0,
                static_cast<double>(t.throws) / t.matches,
                t.incomplete ? " (some matches hit the mene cap)" : "");
    std::printf("  target-ball throws %ld, of which failed %ld\n", t.targetThrows, t.failedTargetThrows);
}

}  // namespace

int main(int argc, char** argv) {
    const int matches = argc > 1 ? std::atoi(argv[1]) : 20;
    const unsigned firstSeed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u;
    if (TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config") != 0) {
        std::fprintf(stderr, "ai_match_figure: the tuning files do not load\n");
        return 1;
    }
    CaracDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Carac_DB.csv");
    const ThrowProfile* pointing = CaracDB::Find(CaracDB::MakeKey("HM", "Milieu", true));
    const ThrowProfile* shooting = CaracDB::Find(CaracDB::MakeKey("HM", "Milieu", false));
    if (!pointing || !shooting) {
        std::fprintf(stderr, "ai_match_figure: no throw profile HM_M\n");
        return 1;
    }
    HalSetTimeSource(&VirtualClock);
    g_AITaskScheduler.SetClock(&VirtualClock);
    g_CurrentDifficulty = kDifficulty;
    Headless env;

    if (std::getenv("AI_FIGURE_PROBE")) {
        Match match(env, pointing, shooting, kHardLevel, kHardLevel);
        match.Probe();
        return 0;
    }
    struct Pairing {
        const char* title;
        const char* names[2];
        int levels[2];
    } pairings[] = {
        {"hard (level 9) vs easy (level 3)", {"hard", "easy"}, {kHardLevel, kEasyLevel}},
        {"easy (level 3) vs easy (level 3)", {"easy, side A", "easy, side B"}, {kEasyLevel, kEasyLevel}},
    };
    for (const Pairing& pairing : pairings) {
        Tally tally;
        for (int m = 0; m < matches; ++m) {
            const unsigned seed = firstSeed + static_cast<unsigned>(m);
            KemSrand(seed);
            // The first player alternates sides so neither keeps the
            // first side's place or the start of the first mene.
            const int first = m % 2;
            const int levelA = pairing.levels[first], levelB = pairing.levels[1 - first];
            MatchResult r;
            {
                Match match(env, pointing, shooting, levelA, levelB);
                r = match.Play(KemRand() & 1);
            }
            const int winner = first == 0 ? r.winner : 1 - r.winner;
            ++tally.wins[winner];
            ++tally.matches;
            tally.incomplete += r.complete ? 0 : 1;
            tally.throws += r.throws;
            tally.targetThrows += r.targetThrows;
            tally.failedTargetThrows += r.failedTargetThrows;
            for (uint32_t p : r.menePoints) {
                ++tally.menes;
                tally.points += p;
            }
            std::printf("  seed %u: %s %u - %u %s, %zu menes\n", seed, pairing.names[first], r.score[0], r.score[1],
                        pairing.names[1 - first], r.menePoints.size());
            std::fflush(stdout);
        }
        Report(pairing.title, pairing.names[0], pairing.names[1], tally);
    }
    return 0;
}
