// Joint wrappers against real ODE: what the world builds from descriptions,
// the values ODE ends up with, and the inputs that would make ODE abort the
// program (refused instead).
#include "OdeTestFixture.h"

#include "COdeJoint.h"
#include "JointDesc.h"
#include "KEMException.h"

#include <cmath>
#include <string>

namespace {
COdeActor* Movable(COdeWorld& world, const Ogre::Vector3& at)
{
    ActorDesc desc(ActorDesc::TYPE_MOVABLE);
    desc.shapes.emplace_back(new SphereShapeDesc(0.1f));
    COdeActor* actor = world.CreateActor(nullptr, desc);
    actor->setPosition(at);
    return actor;
}

COdeActor* Static(COdeWorld& world) { return world.CreateActor(nullptr, ActorDesc(ActorDesc::TYPE_STATIC)); }

std::string ReasonOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const CKEMException& e) {
        return e.GetReason();
    }
    return "";
}
}

using JointTest = OdeWorldTest;

TEST_F(JointTest, WorldRefusesJointsOdeCannotHold)
{
    COdeActor* a = Movable(*world, Ogre::Vector3(0, 1, 0));
    COdeActor* ground = Static(*world);
    EXPECT_EQ(ReasonOf([&] { world->CreateJoint(JointDescFixed(nullptr, nullptr)); }), "both actors are 0!");
    // ODE would abort on these: no body at all, a hinge-2 held by one body.
    EXPECT_EQ(world->CreateJoint(JointDescFixed(ground, Static(*world))), nullptr);
    EXPECT_EQ(world->CreateJoint(JointDescHinge2(a, ground, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y,
                                                 Ogre::Vector3::ZERO)),
              nullptr);
    EXPECT_TRUE(world->GetJoints().empty());

    // A body held to the static world by a ball joint hangs from the anchor.
    COdeJoint* ball = world->CreateJoint(JointDescBall(ground, a, Ogre::Vector3(0, 2, 0)));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->getType(), JointDescBase::TYPE_BALL);
    odetest::FeedFrames(*world, 60);
    EXPECT_NEAR(a->getPosition().distance(Ogre::Vector3(0, 2, 0)), 1.0f, 0.01f);
    world->RemoveJoint(ball);
    EXPECT_TRUE(world->GetJoints().empty());
}

TEST_F(JointTest, BadAxesAreRefusedAndTheJointKept)
{
    COdeActor* a = Movable(*world, Ogre::Vector3(0, 1, 0));
    COdeActor* b = Movable(*world, Ogre::Vector3(1, 1, 0));
    // Zero and parallel axes from a scene file: each would abort inside ODE.
    COdeJoint* hinge = world->CreateJoint(JointDescHinge(a, b, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
    ASSERT_NE(hinge, nullptr);
    hinge->setAxis(0, Ogre::Vector3(0, 0, 2));
    hinge->setAxis(0, Ogre::Vector3(NAN, 0, 0));
    EXPECT_LT(hinge->getAxis(0).distance(Ogre::Vector3::UNIT_Z), 1e-5f);

    COdeJoint* universal = world->CreateJoint(
        JointDescUniversal(a, b, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_X, Ogre::Vector3(0.5f, 1, 0)));
    ASSERT_NE(universal, nullptr);
    // A valid pair that passes through a parallel state when set one by one.
    universal->setAxes(Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X);
    EXPECT_LT(universal->getAxis(0).distance(Ogre::Vector3::UNIT_Y), 1e-5f);
    EXPECT_LT(universal->getAxis(1).distance(Ogre::Vector3::UNIT_X), 1e-5f);
    universal->setAxis(1, Ogre::Vector3(0, -3, 0));
    EXPECT_LT(universal->getAxis(1).distance(Ogre::Vector3::UNIT_X), 1e-5f);

    COdeJoint* hinge2 = world->CreateJoint(
        JointDescHinge2(a, b, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3(0.5f, 1, 0)));
    ASSERT_NE(hinge2, nullptr);
    hinge2->setAxis(0, Ogre::Vector3::UNIT_X);
    EXPECT_LT(hinge2->getAxis(0).distance(Ogre::Vector3::UNIT_Y), 1e-5f);
    odetest::FeedFrames(*world, 10);
}

TEST_F(JointTest, IndexesOutsideTheKindThrow)
{
    COdeActor* a = Movable(*world, Ogre::Vector3(0, 1, 0));
    COdeActor* b = Movable(*world, Ogre::Vector3(1, 1, 0));
    const Ogre::Vector3 x = Ogre::Vector3::UNIT_X;
    COdeJoint* ball = world->CreateJoint(JointDescBall(a, b, x));
    COdeJoint* hinge = world->CreateJoint(JointDescHinge(a, b, x, x));
    COdeJoint* hinge2 = world->CreateJoint(JointDescHinge2(a, b, Ogre::Vector3::UNIT_Y, x, x));
    COdeJoint* slider = world->CreateJoint(JointDescSlider(a, b, x));
    COdeJoint* universal = world->CreateJoint(JointDescUniversal(a, b, Ogre::Vector3::UNIT_Y, x, x));
    struct Case {
        std::function<void()> call;
        const char* reason;
    } cases[] = {
        {[&] { ball->setAnchor(1, x); }, "Ball joint has only one anchor! You are trying to set more..."},
        {[&] { hinge->setAxis(1, x); }, "Hinge joint has only one axis! You are trying to set more..."},
        {[&] { hinge->setLimits(1, 0, 1); }, "Hinge joint has only one axis! You are trying to use more..."},
        {[&] { hinge->setAnchor(1, x); }, "Hinge joint has only one anchor! You are trying to set more..."},
        {[&] { hinge2->setAxis(2, x); }, "Hinge2 joint has only two axes! You are trying to set more..."},
        {[&] { hinge2->enableMotor(2, true); }, "Hinge2 joint has only two axes! You are trying to use more..."},
        {[&] { slider->setLimits(1, 0, 1); }, "Slider joint has only one axis! You are trying to set more..."},
        {[&] { universal->setMotor(-1, 1, 1); }, "Universal joint has only two axes! You are trying to use more..."},
        {[&] { universal->setAnchor(1, x); }, "Universal joint has only one anchor! You are trying to set more..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReasonOf(c.call), c.reason);
    // What a kind does not have does nothing.
    ball->setAxis(0, x);
    slider->setAnchor(0, x);
}

TEST_F(JointTest, StopsMotorsAndSuspensionReachOde)
{
    world->SetStepSize(0.1f);
    COdeActor* a = Movable(*world, Ogre::Vector3(0, 1, 0));
    COdeActor* b = Movable(*world, Ogre::Vector3(1, 1, 0));
    COdeJoint* hinge = world->CreateJoint(JointDescHinge(a, b, Ogre::Vector3::UNIT_Z, Ogre::Vector3(0.5f, 1, 0)));
    hinge->setLimits(0, -0.5f, 0.5f);
    EXPECT_FLOAT_EQ(dJointGetHingeParam(hinge->getJointId(), dParamLoStop), -0.5f);
    EXPECT_FLOAT_EQ(dJointGetHingeParam(hinge->getJointId(), dParamHiStop), 0.5f);

    COdeJoint* slider = world->CreateJoint(JointDescSlider(a, b, Ogre::Vector3::UNIT_X));
    const dJointID s = slider->getJointId();
    slider->enableMotor(0, true);
    EXPECT_EQ(dJointGetSliderParam(s, dParamVel), 0.0);
    EXPECT_EQ(dJointGetSliderParam(s, dParamFMax), 0.0);
    slider->setMotor(0, 1.0f, 20.0f);
    EXPECT_EQ(dJointGetSliderParam(s, dParamVel), 0.0);   // stored only
    slider->enableMotor(0, true);
    EXPECT_FLOAT_EQ(dJointGetSliderParam(s, dParamVel), 1.0f);
    EXPECT_FLOAT_EQ(dJointGetSliderParam(s, dParamFMax), 20.0f);
    slider->enableMotor(0, false);
    EXPECT_EQ(dJointGetSliderParam(s, dParamFMax), 0.0);

    // Suspension of a hinge-2 from kp 2, kd 0.25 and the step 0.1.
    COdeJoint* hinge2 = world->CreateJoint(
        JointDescHinge2(a, b, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3(0.5f, 1, 0)));
    const dJointID h = hinge2->getJointId();
    EXPECT_NEAR(dJointGetHinge2Param(h, dParamSuspensionERP), 0.4444, 1e-4);
    EXPECT_NEAR(dJointGetHinge2Param(h, dParamSuspensionCFM), 2.2222, 1e-4);
    hinge2->setSpring(0.0f);
    hinge2->setDamping(0.0f);
    EXPECT_EQ(dJointGetHinge2Param(h, dParamSuspensionERP), 0.0);
    EXPECT_EQ(dJointGetHinge2Param(h, dParamSuspensionCFM), 0.0);
}

TEST_F(JointTest, FixedJointKeepsTheRelativePose)
{
    COdeActor* a = Movable(*world, Ogre::Vector3(0, 3, 0));
    COdeActor* b = Movable(*world, Ogre::Vector3(0.5f, 3, 0));
    a->getBody()->setLinearVelocity(Ogre::Vector3(1, 0, 0));
    ASSERT_NE(world->CreateJoint(JointDescFixed(a, b)), nullptr);
    odetest::FeedFrames(*world, 30);
    EXPECT_NEAR(a->getPosition().distance(b->getPosition()), 0.5f, 1e-3f);
    EXPECT_LT(a->getPosition().y, 2.5f);
    // Joints left in the world go with it (TearDown).
}
