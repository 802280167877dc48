// For the tests that put balls on collision meshes: the wrapper tests'
// converted meshes as a resource location, a ball, and a contact recorder.
#pragma once

#include "PhysicsTestEnv.h"

#include <CPhysicObject.h>

#include <OgreResourceGroupManager.h>

#include <string>
#include <vector>

inline void AddTestMeshes()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceLocationExists(KEM_TEST_MESHES, "General"))
        groups.addResourceLocation(KEM_TEST_MESHES, "FileSystem", "General");
}

// The contacts a node reports, by the other node.
class ContactRecorder : public CKEMSceneNodeInterface {
public:
    void OnContact(CKEMSceneNode*, CKEMSceneNode* other, ContactInfo&) override { begins.push_back(other); }
    void OnContactContinue(CKEMSceneNode*, CKEMSceneNode*, ContactInfo&) override {}
    void OnContactEnd(CKEMSceneNode*, CKEMSceneNode* other) override { ends.push_back(other); }

    std::vector<CKEMSceneNode*> begins;
    std::vector<CKEMSceneNode*> ends;
};

// A 0.7 kg boule of radius 3.75 cm at `position`.
inline CPhysicObject* AddBall(const std::string& name, const Ogre::Vector3& position,
                              CPhysicMaterial* material = nullptr)
{
    TestNode* ball = new TestNode(nullptr, name);
    ball->setPosition(position, false);
    CPhysicObject* object = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
    ball->attachPhysicObject(object);
    object->SetSphereShape(0.0375f);
    object->BuildShapes(CPhysicObject::SHAPE_SPHERE, material);
    object->SetMass(0.7f);
    return object;
}
