// The rolling estimator calibrated by real throws on a flat ground: six
// match balls launched by their own launch, their ground contacts and rests
// reported as the ball contact rules report them.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <CBall.h>
#include <COdeActor.h>
#include <CPhysicObject.h>
#include <CRollingEstimator.h>
#include <TuningLoader.h>

#include <ode/ode.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace scenetext;

namespace {

const float kStep = 1.0f / 200.0f;
const float kStopSpeed = 0.05f;   // a ball this slow on the ground is stopped

// The venue's side of the calibration: ground and ball contacts go to the
// estimator; a ball that has slowed down on the ground is stopped.
class GroundContacts : public CKEMSceneNodeInterface {
public:
    explicit GroundContacts(CRollingEstimator& estimator) : mEstimator(estimator) {}
    void OnContact(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) override {
        if (!other)
            return;
        if (other->getName() == "terrain")
            mEstimator.OnImpact(node, info.position.x, info.position.y, info.position.z);
        else
            mEstimator.OnImpactWithObject(node, other, info.position.x, info.position.y, info.position.z);
    }
    void OnContactContinue(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo&) override {
        CPhysicObject* object = node->getPhysicObject();
        if (other && other->getName() == "terrain" && object && object->getLinearVelocity().length() < kStopSpeed) {
            object->setLinearVelocity(Ogre::Vector3::ZERO);
            object->setAngularVelocity(Ogre::Vector3::ZERO);
        }
    }
    void OnContactEnd(CKEMSceneNode*, CKEMSceneNode*) override {}

private:
    CRollingEstimator& mEstimator;
};

}  // namespace

TEST_F(PhysicsSceneTest, RollingEstimatorCalibratesOnAFlatGround) {
    ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
    new TestNode(nullptr, "terrain");
    std::vector<CKEMSceneNode*> balls;
    std::vector<std::unique_ptr<CBall>> owned;
    std::vector<CBall*> matchBalls;
    std::string objects = Object("terrain", 0, 0, 40.0f, 1.0f, 60.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f);
    for (int i = 0; i < 7; ++i) {
        const std::string name = "boule" + std::to_string(i);
        balls.push_back(new TestNode(nullptr, name));
        balls.back()->setPosition(Ogre::Vector3(-10.0f, 0.04f, 5.0f * i), false);
        owned.emplace_back(new CBall(i == 0 ? CBall::KIND_TARGET : CBall::KIND_BALL, balls.back()));
        matchBalls.push_back(owned.back().get());
        objects += Object(name, 1, 1, 0.04f, 0.04f, 0.04f, 0.7f, "boule");
    }
    const std::string text =
        Root(Settings(kStep) + Material("terrain", 0.6f, 0.2f) + Material("boule", 10.0f, 0.3f) + objects);
    // The ground's rolling resistance (bodies take the world's damping when
    // they are made).
    dWorldSetAngularDamping(mWorld->GetWorldId(), 0.002);
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));

    CRollingEstimator estimator(nullptr);
    GroundContacts contacts(estimator);
    for (CKEMSceneNode* ball : balls)
        ball->SetContactListener(&contacts);
    estimator.Calibrate(matchBalls);
    ASSERT_EQ(estimator.GetBallsInFlight(), 6);
    EXPECT_EQ(matchBalls[0]->mState, CBall::STATE_NONE);   // the target ball stays
    EXPECT_EQ(matchBalls[6]->mEffect, CBall::EFFECT_FORWARD);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(matchBalls[i]->mState, CBall::STATE_LAUNCHED);
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        const Ogre::Vector3 start(CRollingEstimator::kLaunchOffsets[i - 1], 0.6f, 8.0f);
        Ogre::Vector3 position;
        balls[i]->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
        EXPECT_TRUE(position.positionEquals(start, 1e-5f)) << position;
        EXPECT_TRUE(balls[i]->getPhysicObject()->GetActor()->getPosition().positionEquals(start, 1e-5f));
    }

    // Each ball is reported once it lies still on the ground.
    std::set<int> resting;
    for (int frame = 0; frame < 1500 && resting.size() < 6; ++frame) {
        Frame(0.02f);
        for (int i = 1; i <= 6; ++i) {
            CPhysicObject* object = balls[i]->getPhysicObject();
            Ogre::Vector3 position;
            balls[i]->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
            if (frame < 10 || resting.count(i) || position.y > 0.045f ||
                object->getLinearVelocity().length() >= kStopSpeed)
                continue;
            resting.insert(i);
            estimator.UpdateCalibration(balls[i]);
            EXPECT_FALSE(gPhysicMgr.HasObject(object));   // out of the simulation
        }
    }
    ASSERT_EQ(resting.size(), 6u);
    EXPECT_EQ(estimator.GetBallsInFlight(), 0);
    EXPECT_TRUE(estimator.GetSets().empty());
    ASSERT_EQ(estimator.GetSamples().size(), 6u);

    for (const CalibrationSet& sample : estimator.GetSamples()) {
        SCOPED_TRACE(testing::Message() << "angle " << sample.angle << " speed " << sample.velocity << " effect "
                                        << sample.effect << " rolled " << sample.result);
        EXPECT_GT(sample.result, 0.01f);
        EXPECT_LT(sample.result, 20.0f);
        // A calibration throw is estimated as it was measured.
        EXPECT_NEAR(estimator.Estimate(sample.angle, sample.effect, sample.velocity), sample.result, 1e-4f);
    }
    // Faster and flatter throws roll further.
    EXPECT_GT(estimator.GetVelocitySlope(), 0.0f);
    EXPECT_LT(estimator.GetAngleSlope(), 0.0f);
    EXPECT_TRUE(std::isfinite(estimator.GetEffectSlope()));
    EXPECT_GT(estimator.Estimate(45.0f, 0.0f, 9.0f), estimator.Estimate(45.0f, 0.0f, 5.0f));
    EXPECT_GT(estimator.Estimate(10.0f, 0.0f, 7.0f), estimator.Estimate(70.0f, 0.0f, 7.0f));
}
