// Names, node maths, re-parenting and attachment rules of the node wrappers
// and the scene nodes' graphic handles.
#include "OgreHeadless.h"

#include "CKEMSceneGraphicHandle.h"
#include "CWrapOgreCamera.h"
#include "CWrapOgreEntity.h"
#include "CWrapOgreLight.h"
#include "CWrapOgreNode.h"
#include "KEMException.h"
#include "makeUniqueName.h"

#include <functional>

namespace {

uint32_t numberAfter(const std::string& name, const std::string& prefix)
{
    EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
    return static_cast<uint32_t>(std::stoul(name.substr(prefix.size())));
}

std::string reasonOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CKEMException& e) {
        return e.GetReason();
    }
    return "<no exception>";
}

void expectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

const Ogre::Quaternion kYaw90(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);

}  // namespace

TEST(MakeUniqueName, OneSharedCounterBetweenPrefixAndSuffix)
{
    const std::string first = makeUniqueName("p_", "_s");
    ASSERT_EQ(first.substr(first.size() - 2), "_s");
    const uint32_t k = numberAfter(first.substr(0, first.size() - 2), "p_");
    EXPECT_EQ(makeUniqueName("other"), "other" + std::to_string(k + 1));
    EXPECT_EQ(makeUniqueName("p_", "_s"), "p_" + std::to_string(k + 2) + "_s");
}

TEST_F(OgreWrapTest, UnnamedNodesUseOneCounterValueForTheWrapperAndOneForOgre)
{
    CWrapOgreNode* first = mWorld->CreateNode();
    CWrapOgreNode* second = mWorld->CreateNode();
    const uint32_t k = numberAfter(first->getOgreNode()->getName(), "sn_");
    EXPECT_EQ(second->getOgreNode()->getName(), "sn_" + std::to_string(k + 2));
    EXPECT_EQ(first->getName(), "graphics" + std::to_string(k - 1));
    EXPECT_EQ(second->getName(), "graphics" + std::to_string(k + 1));

    CWrapOgreNode* named = mWorld->CreateNode("venue");
    EXPECT_EQ(named->getOgreNode()->getName(), "venue");
    EXPECT_EQ(reasonOf([&] { mWorld->CreateNode("venue"); }).rfind("Ogre Exception: ", 0), 0u);
    EXPECT_EQ(reasonOf([&] { CWrapOgreNode(mWorld.get(), nullptr, ""); }), "need a scene manager!");
}

// A parent at (10, 0, 0) turned 90 degrees about Y (its X is the world's -Z),
// a child at local (1, 0, 0) turned the same way.
class NodeMathsTest : public OgreWrapTest {
protected:
    void SetUp() override
    {
        OgreWrapTest::SetUp();
        mParent.create(nullptr);
        mParent.setPosition(Ogre::Vector3(10, 0, 0));
        mParent.setOrientation(kYaw90);
        mChild.create(mParent.getNode());
        mChild.setPosition(Ogre::Vector3(1, 0, 0));
        mChild.setOrientation(kYaw90);
    }
    void TearDown() override
    {
        mChild.destroy();
        mParent.destroy();
        OgreWrapTest::TearDown();
    }
    CKEMSceneGraphicHandle mParent{nullptr};
    CKEMSceneGraphicHandle mChild{nullptr};
};

TEST_F(NodeMathsTest, SpaceTwoReadsWorldValuesAnyOtherLocal)
{
    for (int space : {0, 1, 3}) {
        expectVector(mChild.getPosition(space), Ogre::Vector3(1, 0, 0));
        EXPECT_TRUE(mChild.getOrientation(space).equals(kYaw90, Ogre::Degree(0.1f)));
    }
    expectVector(mChild.getPosition(2), Ogre::Vector3(10, 0, -1));
    EXPECT_TRUE(mChild.getOrientation(2).equals(kYaw90 * kYaw90, Ogre::Degree(0.1f)));

    float matrix[16];
    mChild.getFullTransform(matrix);
    expectVector(Ogre::Vector3(matrix[3], matrix[7], matrix[11]), Ogre::Vector3(10, 0, -1));
    EXPECT_NEAR(matrix[0], -1.0f, 1e-5f);   // turned 180 degrees in the world
    EXPECT_NEAR(matrix[15], 1.0f, 1e-6f);
}

TEST_F(NodeMathsTest, TranslateMovesAlongTheAxesOfTheGivenSpace)
{
    struct Case {
        int space;
        Ogre::Vector3 localAfter;
    };
    const Case cases[] = {
        {0, Ogre::Vector3(2, 0, 0)},    // the child's own Z is its parent's X
        {1, Ogre::Vector3(1, 0, 1)},
        {2, Ogre::Vector3(0, 0, 0)},    // the world's Z is the parent's -X
        {7, Ogre::Vector3(2, 0, 0)},    // unknown spaces count as local
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.space);
        mChild.setPosition(Ogre::Vector3(1, 0, 0));
        mChild.translate(Ogre::Vector3(0, 0, 1), c.space);
        expectVector(mChild.getPosition(0), c.localAfter);
    }

    mChild.rotate(kYaw90, 2);
    EXPECT_TRUE(mChild.getOrientation(2).equals(kYaw90 * kYaw90 * kYaw90, Ogre::Degree(0.1f)));
}

TEST_F(NodeMathsTest, CreatedNodesHangUnderTheirParentWithoutInheritingScale)
{
    EXPECT_EQ(mParent.getNode()->getOgreNode()->getParent(), mWorld->GetRootNode()->getOgreNode());
    EXPECT_EQ(mChild.getNode()->getOgreNode()->getParent(), mParent.getNode()->getOgreNode());
    EXPECT_EQ(mChild.getNode()->getParentNode(), mParent.getNode());

    mParent.setScale(Ogre::Vector3(2, 2, 2));
    expectVector(mChild.getNode()->getOgreNode()->_getDerivedScale(), Ogre::Vector3(1, 1, 1));
    expectVector(mParent.getScale(), Ogre::Vector3(2, 2, 2));

    CWrapOgreEntity* entity = mWorld->CreateEntity("testcube.mesh");
    mChild.getNode()->attachEntity(entity);
    mParent.setVisible(false);
    EXPECT_FALSE(entity->getEntity()->getVisible());
    mParent.setVisible(true);
    EXPECT_TRUE(entity->getEntity()->getVisible());
}

TEST_F(OgreWrapTest, ReparentMovesTheChildBetweenParents)
{
    CWrapOgreNode* a = mWorld->CreateNode();
    CWrapOgreNode* b = mWorld->CreateNode();
    CWrapOgreNode* child = a->createChild();
    CWrapOgreNode* grandChild = child->createChild();

    b->reparent(child);
    EXPECT_TRUE(a->getChildren().empty());
    ASSERT_EQ(b->getChildren().size(), 1u);
    EXPECT_EQ(b->getChildren().front(), child);
    EXPECT_EQ(child->getParentNode(), b);
    EXPECT_EQ(child->getOgreNode()->getParent(), b->getOgreNode());
    EXPECT_EQ(a->getOgreNode()->numChildren(), 0u);

    // Not a's child any more: refused, nothing changes.
    EXPECT_EQ(reasonOf([&] { a->removeChild(child); }), "Pbme: this node is not a good child!");
    EXPECT_EQ(child->getParentNode(), b);
    EXPECT_EQ(child->getOgreNode()->getParent(), b->getOgreNode());
    EXPECT_EQ(b->getChildren().size(), 1u);

    // A node under its own subtree would be a cycle.
    EXPECT_NE(reasonOf([&] { grandChild->reparent(b); }), "<no exception>");
    EXPECT_NE(reasonOf([&] { child->reparent(child); }), "<no exception>");
    EXPECT_EQ(b->getParentNode(), mWorld->GetRootNode());
    EXPECT_EQ(grandChild->getParentNode(), child);

    b->removeChild(child);
    EXPECT_EQ(child->getParentNode(), nullptr);
    EXPECT_EQ(child->getOgreNode()->getParent(), nullptr);
    EXPECT_TRUE(b->getChildren().empty());

    const std::string childName = child->getOgreNode()->getName();
    const std::string grandChildName = grandChild->getOgreNode()->getName();
    delete child;   // and its subtree
    EXPECT_FALSE(mSceneManager->hasSceneNode(childName));
    EXPECT_FALSE(mSceneManager->hasSceneNode(grandChildName));
}

// The same attachment rules for the three kinds of wrapper a node owns.
struct AttachKind {
    const char* notAttached;
    std::function<CWrapOgreGraphicElement*(CWrapOgreWorld&)> create;
    std::function<void(CWrapOgreNode*, CWrapOgreGraphicElement*)> attach;
    std::function<void(CWrapOgreNode*, CWrapOgreGraphicElement*)> detach;
    std::function<size_t(CWrapOgreNode*)> count;
    std::function<Ogre::MovableObject*(CWrapOgreGraphicElement*)> movable;
    std::function<bool(Ogre::SceneManager*, const std::string&)> alive;
};

std::vector<AttachKind> attachKinds()
{
    return {
        {"entity was NOT attached!",
         [](CWrapOgreWorld& w) { return w.CreateEntity("testcube.mesh"); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->attachEntity(static_cast<CWrapOgreEntity*>(e)); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->detachEntity(static_cast<CWrapOgreEntity*>(e)); },
         [](CWrapOgreNode* n) { return n->getAttachedEntities().size(); },
         [](CWrapOgreGraphicElement* e) { return static_cast<CWrapOgreEntity*>(e)->getEntity(); },
         [](Ogre::SceneManager* sm, const std::string& name) { return sm->hasEntity(name); }},
        {"light was NOT attached!",
         [](CWrapOgreWorld& w) { return w.CreateLight(); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->attachLight(static_cast<CWrapOgreLight*>(e)); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->detachLight(static_cast<CWrapOgreLight*>(e)); },
         [](CWrapOgreNode* n) { return n->getAttachedLights().size(); },
         [](CWrapOgreGraphicElement* e) { return static_cast<CWrapOgreLight*>(e)->getLight(); },
         [](Ogre::SceneManager* sm, const std::string& name) { return sm->hasLight(name); }},
        {"camera was NOT attached!",
         [](CWrapOgreWorld& w) { return w.CreateCamera(); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->attachCamera(static_cast<CWrapOgreCamera*>(e)); },
         [](CWrapOgreNode* n, CWrapOgreGraphicElement* e) { n->detachCamera(static_cast<CWrapOgreCamera*>(e)); },
         [](CWrapOgreNode* n) { return n->getAttachedCameras().size(); },
         [](CWrapOgreGraphicElement* e) { return static_cast<CWrapOgreCamera*>(e)->getCamera(); },
         [](Ogre::SceneManager* sm, const std::string& name) { return sm->hasCamera(name); }},
    };
}

TEST_F(OgreWrapTest, AnObjectMovedToASecondNodeBelongsToThatNodeOnly)
{
    for (const AttachKind& kind : attachKinds()) {
        SCOPED_TRACE(kind.notAttached);
        CWrapOgreNode* first = mWorld->CreateNode();
        CWrapOgreNode* second = mWorld->CreateNode();
        CWrapOgreGraphicElement* object = kind.create(*mWorld);
        Ogre::MovableObject* movable = kind.movable(object);
        const std::string ogreName = movable->getName();

        kind.attach(first, object);
        kind.attach(first, object);   // again: still one entry
        EXPECT_EQ(kind.count(first), 1u);

        kind.attach(second, object);
        EXPECT_EQ(kind.count(first), 0u);
        EXPECT_EQ(kind.count(second), 1u);
        EXPECT_EQ(movable->getParentSceneNode(), second->getOgreNode());

        delete first;   // must not take the object along
        ASSERT_TRUE(kind.alive(mSceneManager, ogreName));
        EXPECT_EQ(movable->getParentSceneNode(), second->getOgreNode());
        delete second;
        EXPECT_FALSE(kind.alive(mSceneManager, ogreName));
    }
}

TEST_F(OgreWrapTest, DetachHandsTheObjectBackAndRefusesStrangers)
{
    for (const AttachKind& kind : attachKinds()) {
        SCOPED_TRACE(kind.notAttached);
        CWrapOgreNode* node = mWorld->CreateNode();
        CWrapOgreGraphicElement* object = kind.create(*mWorld);
        EXPECT_EQ(reasonOf([&] { kind.detach(node, object); }), kind.notAttached);

        kind.attach(node, object);
        kind.detach(node, object);
        EXPECT_EQ(kind.count(node), 0u);
        EXPECT_FALSE(kind.movable(object)->isAttached());
        delete node;
        EXPECT_TRUE(kind.alive(mSceneManager, kind.movable(object)->getName()));

        // Deleted by its owner while attached: the node forgets it.
        CWrapOgreNode* other = mWorld->CreateNode();
        kind.attach(other, object);
        delete object;
        EXPECT_EQ(kind.count(other), 0u);
        delete other;
    }

    CWrapOgreNode* node = mWorld->CreateNode();
    Ogre::ManualObject* stranger = mSceneManager->createManualObject("stranger");
    EXPECT_EQ(reasonOf([&] { node->detachParticleSystem(stranger); }), "particle system was NOT attached!");
    mSceneManager->destroyManualObject(stranger);
}

TEST_F(OgreWrapTest, DeletingTheWorldDeletesEveryNodeAndObjectUnderIt)
{
    CKEMSceneGraphicHandle handle(nullptr);
    handle.create(nullptr);
    CWrapOgreNode* child = handle.getNode()->createChild();
    child->attachEntity(mWorld->CreateEntity("testcube.mesh"));
    child->attachLight(mWorld->CreateLight());
    handle.getNode()->attachCamera(mWorld->CreateCamera());

    mWorld.reset();
    EXPECT_EQ(mSceneManager->getRootSceneNode()->numChildren(), 0u);
    EXPECT_TRUE(mSceneManager->getMovableObjects("Entity").empty());
    EXPECT_TRUE(mSceneManager->getMovableObjects("Light").empty());
    EXPECT_TRUE(mSceneManager->getCameras().empty());
}

TEST_F(OgreWrapTest, HandleNamesUnregistersAndDestroysItsNode)
{
    CKEMSceneGraphicHandle handle(nullptr);
    const std::string name = handle.create(nullptr);
    EXPECT_EQ(name, handle.getNode()->getName());
    const std::string ogreName = handle.getNode()->getOgreNode()->getName();

    handle.rename("terrain");
    EXPECT_EQ(handle.getNode()->getName(), "terrain");
    EXPECT_EQ(handle.getNode()->getOgreNode()->getName(), ogreName);

    CWrapOgreEntity* entity = mWorld->CreateEntity("testcube.mesh");
    const std::string entityName = entity->getEntity()->getName();
    handle.getNode()->attachEntity(entity);
    mRegistry->RegisterElement(entity, handle.getNode());

    handle.destroy();
    EXPECT_EQ(handle.getNode(), nullptr);
    EXPECT_EQ(mRegistry->GetElementNode(entity), nullptr);
    EXPECT_FALSE(mSceneManager->hasSceneNode(ogreName));
    EXPECT_FALSE(mSceneManager->hasEntity(entityName));
    handle.destroy();   // nothing left to do
}

TEST_F(OgreWrapTest, AttachToRootTakesTheNodeOutOfTheWorldTree)
{
    CKEMSceneGraphicHandle handle(nullptr);
    handle.create(nullptr);
    handle.attachToRoot();
    EXPECT_EQ(handle.getNode()->getOgreNode()->getParent(), mSceneManager->getRootSceneNode());
    EXPECT_EQ(handle.getNode()->getParentNode(), nullptr);
    EXPECT_TRUE(mWorld->GetRootNode()->getChildren().empty());

    const std::string ogreName = handle.getNode()->getOgreNode()->getName();
    mWorld.reset();
    EXPECT_TRUE(mSceneManager->hasSceneNode(ogreName));   // the handle's, not the world's
    handle.destroy();
    EXPECT_FALSE(mSceneManager->hasSceneNode(ogreName));
}
