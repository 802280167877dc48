// The Marseille venue's physics (settings, materials, collision-mesh
// ground) with its target ball and first balls as the match makes them:
// CBall elements with the balls' contact listener (sounds left out), the
// tuning as shipped. Stepped at the game's 60 frames a second.
#pragma once

#include "CollisionMeshTestUtil.h"

#include <CBall.h>
#include <CKEMSceneGraph.h>
#include <COdeBody.h>
#include <CPhysicBallListener.h>
#include <CPhysicObject.h>
#include <TuningLoader.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class VenueBallsScene : public PhysicsSceneTest {
protected:
    class QuietListener : public CPhysicBallListener {
    public:
        using CPhysicBallListener::CPhysicBallListener;
        void PlayImpactSound(const char*, float, float, const Ogre::Vector3&) override {}
        void UpdateRollingSound(bool, float, float, const Ogre::Vector3&) override {}
    };

    static constexpr float kFrameS = 1.0f / 60.0f;

    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        AddTestMeshes();
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        std::ifstream in(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/marseille.xml");
        std::stringstream text;
        text << in.rdbuf();
        const std::string venue = text.str();
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(venue.c_str()));
        ASSERT_TRUE(CKEMSceneGraph::LoadNodes(venue.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(venue.c_str()));
        mTerrain = CKEMSceneGraph::FindNode("terrain");
        ASSERT_NE(mTerrain, nullptr);
        for (int k = 0; k <= 6; ++k) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(k == 0 ? "cochonnet" : "boule " + std::to_string(k));
            ASSERT_NE(node, nullptr);
            ASSERT_NE(node->getPhysicObject(), nullptr);
            mBalls.emplace_back(new CBall(k == 0 ? CBall::KIND_TARGET : CBall::KIND_BALL, node));
            mListeners.emplace_back(new QuietListener(mBalls.back().get()));
            node->SetContactListener(mListeners.back().get());
            // Off the ground until thrown or placed.
            gPhysicMgr.RemoveObject(node->getPhysicObject());
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

    // The ground's origin: places below are relative to it, as the venue's are.
    Ogre::Vector3 TerrainOrigin() const
    {
        Ogre::Vector3 p;
        mTerrain->GetPosition(p, 2);
        return p;
    }
    Ogre::Vector3 Local(const Ogre::Vector3& world) const { return world - TerrainOrigin(); }
    static CPhysicObject* Body(CBall* ball) { return ball->GetNode()->getPhysicObject(); }
    std::vector<CBall*> Balls() const
    {
        std::vector<CBall*> list;
        for (auto& b : mBalls)
            list.push_back(b.get());
        return list;
    }
    // Ball `index` on the ground at `local`, in play, moving and turning.
    CBall* Put(size_t index, const Ogre::Vector3& local, const Ogre::Vector3& linear = Ogre::Vector3::ZERO,
               const Ogre::Vector3& angular = Ogre::Vector3::ZERO)
    {
        CBall* ball = mBalls[index].get();
        SetNodeWorldPosition(ball->GetNode(), TerrainOrigin() + local);
        gPhysicMgr.RegisterObject(Body(ball));
        Body(ball)->SetActive(true);
        Body(ball)->GetBody()->setEnabled(true);
        Body(ball)->setLinearVelocity(linear);
        Body(ball)->setAngularVelocity(angular);
        ball->mState = CBall::STATE_LAUNCHED;
        return ball;
    }
    static bool Moving(const CBall* ball)
    {
        return ball->mState == CBall::STATE_LAUNCHED &&
               ball->GetNode()->getPhysicObject()->getLinearVelocity().squaredLength() > 0.0f;
    }
    bool AnyMoving() const
    {
        for (auto& b : mBalls)
            if (Moving(b.get()))
                return true;
        return false;
    }

    CKEMSceneNode* mTerrain = nullptr;
    std::vector<std::unique_ptr<CBall>> mBalls;
    std::vector<std::unique_ptr<QuietListener>> mListeners;
};
