// How far a ball would still roll once a settle rule stills it: seeded menes
// of random pointing and shooting throws on the Marseille ground and balls
// (venue file, ball contact listener, tuning as shipped), stepped at 60
// frames a second. The rules only record: physics runs on until every ball
// in play has stopped by itself (or the 30 s limit), and for every rule the
// figure counts the throws it would have ended and how far a ball then
// still went.
//
//   SETTLE_FIGURE_MENES=<menes, default 200> SETTLE_FIGURE_SEED=<first seed, default 1> settle_figure
//
// A figure, not a test.
#include "CollisionMeshTestUtil.h"

#include <CBall.h>
#include <BallsRest.h>
#include <CKEMSceneGraph.h>
#include <CPhysicBallListener.h>
#include <CPhysicObject.h>
#include <COdeBody.h>
#include <TuningLoader.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

const float kFrameS = 1.0f / 60.0f;
const uint32_t kLimitMs = 30000;

class QuietListener : public CPhysicBallListener {
public:
    using CPhysicBallListener::CPhysicBallListener;
    void PlayImpactSound(const char*, float, float, const Ogre::Vector3&) override {}
    void UpdateRollingSound(bool, float, float, const Ogre::Vector3&) override {}
};

// One rule under test: fires when every moving ball has been "slow" by its
// own test for its hold time.
struct Rule {
    const char* name;
    uint32_t holdMs;
    // v: linear velocity, w: angular velocity, r: radius.
    bool (*slow)(const Ogre::Vector3& v, const Ogre::Vector3& w, float r);
};

bool OldSlow(const Ogre::Vector3& v, const Ogre::Vector3&, float)
{
    return v.length() < 0.1f;
}
bool Below5mm(const Ogre::Vector3& v, const Ogre::Vector3&, float)
{
    return v.length() < 0.005f;
}
bool Below1mm(const Ogre::Vector3& v, const Ogre::Vector3&, float)
{
    return v.length() < 0.001f;
}
bool GameRule(const Ogre::Vector3& v, const Ogre::Vector3& w, float r)
{
    return BallsRest::IsCreeping(v, w, r);
}

bool NoRoll5mm(const Ogre::Vector3& v, const Ogre::Vector3& w, float r)
{
    return v.length() < 0.005f && Ogre::Vector3(-w.z * r, 0.0f, w.x * r).length() < 0.005f;
}

const Rule kRules[] = {
    {"old: under 10 cm/s for 0.5 s", 500, &OldSlow},
    {"under 5 mm/s for 0.5 s", 500, &Below5mm},
    {"under 1 mm/s for 0.5 s", 500, &Below1mm},
    {"under 5 mm/s, rolling under 5 mm/s, for 0.5 s", 500, &NoRoll5mm},
    {"game's rule", BallsRest::kRestHoldMs, &GameRule},
};
const size_t kRuleCount = sizeof(kRules) / sizeof(kRules[0]);

std::string ReadVenue(const char* name)
{
    std::ifstream in(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Firing {
    uint32_t atMs;
    std::vector<Ogre::Vector3> places;
};

struct RuleTally {
    int fired = 0, firedOnRoller = 0;
    float worst = 0.0f;
    std::vector<float> after;   // metres a ball still went, per firing
    double savedMs = 0.0;
};

class SettleFigure : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        AddTestMeshes();
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        const std::string text = ReadVenue("marseille.xml");
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        mTerrain = CKEMSceneGraph::FindNode("terrain");
        ASSERT_NE(mTerrain, nullptr);
        for (int k = 0; k <= 6; ++k) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(k == 0 ? "cochonnet" : "boule " + std::to_string(k));
            ASSERT_NE(node, nullptr);
            ASSERT_NE(node->getPhysicObject(), nullptr);
            mBalls.emplace_back(new CBall(k == 0 ? CBall::KIND_TARGET : CBall::KIND_BALL, node));
            mListeners.emplace_back(new QuietListener(mBalls.back().get()));
            node->SetContactListener(mListeners.back().get());
        }
    }
    void TearDown() override
    {
        for (auto& b : mBalls)
            b->GetNode()->SetContactListener(nullptr);
        mListeners.clear();
        mBalls.clear();
        PhysicsSceneTest::TearDown();
    }

    Ogre::Vector3 Local(const Ogre::Vector3& world) const { return world - TerrainOrigin(); }
    Ogre::Vector3 TerrainOrigin() const
    {
        Ogre::Vector3 p;
        mTerrain->GetPosition(p, 2);
        return p;
    }
    static CPhysicObject* Body(CBall* ball) { return ball->GetNode()->getPhysicObject(); }
    bool Outside(const Ogre::Vector3& world) const
    {
        const Ogre::Vector3 l = Local(world);
        return l.x < -2.0f || l.x > 2.0f || l.z < -7.5f || l.z > 7.5f;
    }

    void StartMene()
    {
        for (auto& b : mBalls) {
            b->mState = CBall::STATE_NONE;
            gPhysicMgr.RemoveObject(Body(b.get()));
        }
    }

    // Throws ball `index` from the circle; pointing lands near the target
    // ball (or 6-10 m out for the target ball), shooting aims at a ball.
    void Throw(size_t index, std::mt19937& rng)
    {
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        CBall* ball = mBalls[index].get();
        const Ogre::Vector3 origin = TerrainOrigin();
        const Ogre::Vector3 hand = origin + Ogre::Vector3(0.0f, 0.8f, 6.0f);
        Ogre::Vector3 aim;
        bool shoot = false;
        if (index == 0 || mBalls[0]->mState != CBall::STATE_LAUNCHED) {
            aim = origin + Ogre::Vector3(-1.0f + 2.0f * u(rng), 0.0f, 6.0f - (6.0f + 4.0f * u(rng)));
        } else {
            const Ogre::Vector3 target = mBalls[0]->GetWorldPosition();
            std::vector<CBall*> inPlay;
            for (size_t i = 1; i < mBalls.size(); ++i)
                if (mBalls[i]->mState == CBall::STATE_LAUNCHED)
                    inPlay.push_back(mBalls[i].get());
            shoot = !inPlay.empty() && u(rng) < 0.3f;
            const Ogre::Vector3 at = shoot ? inPlay[size_t(u(rng) * inPlay.size()) % inPlay.size()]->GetWorldPosition()
                                           : target;
            const float spread = (shoot ? 0.15f : 0.6f) * mSpread;
            aim = at + Ogre::Vector3(spread * (u(rng) - 0.5f), 0.0f, spread * (u(rng) - 0.5f));
        }
        Ogre::Vector3 flat = aim - hand;
        flat.y = 0.0f;
        const float d = flat.length();
        const float angle = shoot ? 5.0f + 10.0f * u(rng) : 15.0f + 45.0f * u(rng);
        const float a = angle * float(M_PI) / 180.0f;
        // Landing at the aim point (a pointed ball then rolls on: land short).
        const float land = shoot ? d : d * (0.55f + 0.4f * u(rng));
        const float h = 0.8f;
        const float v2 = 9.81f * land * land / (2.0f * std::cos(a) * std::cos(a) * (land * std::tan(a) + h));
        const float speed = std::sqrt(std::max(v2, 0.01f)) * (shoot ? 1.15f : 1.0f);
        ball->mEffect = index == 0 ? CBall::EFFECT_NONE : int32_t(u(rng) * 4.0f) % 4;
        SetNodeWorldPosition(ball->GetNode(), hand);
        Body(ball)->SetActive(true);
        if (COdeBody* body = Body(ball)->GetBody())
            body->setEnabled(true);
        ball->Launch(angle, speed, u(rng), flat.normalisedCopy());
    }

    bool Moving(CBall* ball) const
    {
        return ball->mState == CBall::STATE_LAUNCHED && Body(ball)->getLinearVelocity().squaredLength() > 0.0f;
    }
    std::vector<Ogre::Vector3> Places() const
    {
        std::vector<Ogre::Vector3> places;
        for (auto& b : mBalls)
            places.push_back(b->GetWorldPosition());
        return places;
    }

    float mSpread = 1.0f;
    CKEMSceneNode* mTerrain = nullptr;
    std::vector<std::unique_ptr<CBall>> mBalls;
    std::vector<std::unique_ptr<QuietListener>> mListeners;
};

int EnvInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

}  // namespace

TEST_F(SettleFigure, HowFarBallsRollOnceARuleStillsThem)
{
    const int menes = EnvInt("SETTLE_FIGURE_MENES", 200);
    const int seed = EnvInt("SETTLE_FIGURE_SEED", 1);
    const bool verbose = EnvInt("SETTLE_FIGURE_VERBOSE", 0) != 0;
    // Percent of the usual spread of pointed and shot balls: tighter packs.
    mSpread = float(EnvInt("SETTLE_FIGURE_SPREAD", 100)) / 100.0f;
    std::vector<RuleTally> tally(kRuleCount);
    int throws = 0, limits = 0;
    double physicsMs = 0.0;
    for (int m = 0; m < menes; ++m) {
        std::mt19937 rng(uint32_t(seed + m));
        StartMene();
        for (size_t index = 0; index < mBalls.size(); ++index) {
            Throw(index, rng);
            ++throws;
            std::vector<bool> fired(kRuleCount, false);
            std::vector<int64_t> slowSince(kRuleCount, -1);
            std::vector<Firing> firing(kRuleCount);
            std::vector<bool> rollerAtFiring(kRuleCount, false);
            uint32_t now = 0;
            bool limit = false;
            for (;;) {
                gTimer.mGameDeltaS = kFrameS;
                gPhysicMgr.Step();
                now += uint32_t(kFrameS * 1000.0f + 0.5f);
                bool any = false;
                for (auto& b : mBalls) {
                    if (b->mState == CBall::STATE_LAUNCHED && Outside(b->GetWorldPosition())) {
                        b->mState = CBall::STATE_OUT;
                        gPhysicMgr.RemoveObject(Body(b.get()));
                    }
                    any = any || Moving(b.get());
                }
                if (!any)
                    break;
                if (now > kLimitMs) {
                    limit = true;
                    break;
                }
                if (verbose && now % 500 < 17 && now >= 4000) {
                    for (size_t i = 0; i < mBalls.size(); ++i) {
                        CBall* b = mBalls[i].get();
                        if (!Moving(b))
                            continue;
                        const Ogre::Vector3 v = Body(b)->getLinearVelocity(), w = Body(b)->getAngularVelocity();
                        const Ogre::Vector3 p = Local(b->GetWorldPosition());
                        std::printf("  mene %d throw %zu t=%u ball %zu at (%.4f %.4f %.4f) v=(%.5f %.5f %.5f) "
                                    "w=(%.4f %.4f %.4f)\n",
                                    m, index, now, i, p.x, p.y, p.z, v.x, v.y, v.z, w.x, w.y, w.z);
                    }
                }
                for (size_t r = 0; r < kRuleCount; ++r) {
                    if (fired[r])
                        continue;
                    bool allSlow = true;
                    for (auto& b : mBalls) {
                        if (!Moving(b.get()))
                            continue;
                        CPhysicObject* o = Body(b.get());
                        if (!kRules[r].slow(o->getLinearVelocity(), o->getAngularVelocity(), 0.0375f))
                            allSlow = false;
                    }
                    if (!allSlow) {
                        slowSince[r] = -1;
                        continue;
                    }
                    if (slowSince[r] < 0)
                        slowSince[r] = now;
                    if (now - uint32_t(slowSince[r]) >= kRules[r].holdMs) {
                        fired[r] = true;
                        firing[r] = {now, Places()};
                        for (auto& b : mBalls)
                            if (Moving(b.get()) && Body(b.get())->getLinearVelocity().length() > 0.005f)
                                rollerAtFiring[r] = true;
                    }
                }
            }
            physicsMs += now;
            if (limit) {
                ++limits;
                for (size_t i = 0; i < mBalls.size(); ++i) {
                    CBall* b = mBalls[i].get();
                    if (!Moving(b))
                        continue;
                    const Ogre::Vector3 v = Body(b)->getLinearVelocity(), w = Body(b)->getAngularVelocity();
                    std::printf("limit: mene %d throw %zu ball %zu at %s speed %.4f m/s, rolls at %.4f m/s\n", m,
                                index, i, Local(b->GetWorldPosition()).y > 0.05f ? "height" : "ground", v.length(),
                                Ogre::Vector3(-w.z * 0.0375f, 0.0f, w.x * 0.0375f).length());
                }
                for (auto& b : mBalls) {
                    if (b->mState != CBall::STATE_LAUNCHED)
                        continue;
                    Body(b.get())->setLinearVelocity(Ogre::Vector3::ZERO);
                    Body(b.get())->setAngularVelocity(Ogre::Vector3::ZERO);
                    Body(b.get())->GetBody()->setEnabled(false);
                }
            }
            const std::vector<Ogre::Vector3> end = Places();
            for (size_t r = 0; r < kRuleCount; ++r) {
                if (!fired[r])
                    continue;
                float worst = 0.0f;
                for (size_t i = 0; i < end.size(); ++i) {
                    if (mBalls[i]->mState != CBall::STATE_LAUNCHED)
                        continue;
                    Ogre::Vector3 d = end[i] - firing[r].places[i];
                    d.y = 0.0f;
                    worst = std::max(worst, d.length());
                }
                RuleTally& t = tally[r];
                ++t.fired;
                t.firedOnRoller += rollerAtFiring[r] ? 1 : 0;
                t.after.push_back(worst);
                t.worst = std::max(t.worst, worst);
                t.savedMs += double(now - firing[r].atMs);
            }
        }
    }
    std::printf("\nspread %.0f %%: ", mSpread * 100.0f);
    std::printf("%d menes, %d throws, %d reached the %u s limit; %.1f s of play per throw\n\n", menes, throws,
                limits, kLimitMs / 1000, physicsMs / 1000.0 / std::max(throws, 1));
    std::printf("| rule | fired | on a ball faster than 5 mm/s | ball went on > 3 mm | > 1 cm | worst (mm) | "
                "wait saved per firing (s) |\n|---|---|---|---|---|---|---|\n");
    for (size_t r = 0; r < kRuleCount; ++r) {
        const RuleTally& t = tally[r];
        const auto over = [&](float m) { return std::count_if(t.after.begin(), t.after.end(), [m](float a) { return a > m; }); };
        std::printf("| %s | %d | %d | %ld | %ld | %.1f | %.2f |\n", kRules[r].name, t.fired, t.firedOnRoller,
                    long(over(0.003f)), long(over(0.01f)), t.worst * 1000.0f,
                    t.fired ? t.savedMs / 1000.0 / t.fired : 0.0);
    }
}
