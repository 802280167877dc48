// Plain descriptions of a joint handed to COdeWorld::CreateJoint: the kind,
// the two actors (either may be null: the static world) and the kind's anchor
// and axes in world coordinates.
#pragma once

#include <OgreVector.h>

class COdeActor;

struct JointDescBase {
    // Also the codes COdeJoint::getType returns.
    enum {
        TYPE_BALL = 0,
        TYPE_HINGE = 1,
        TYPE_HINGE2 = 2,
        TYPE_FIXED = 3,
        TYPE_SLIDER = 4,
        TYPE_UNIVERSAL = 5,
    };

    virtual ~JointDescBase() = default;

    int type;
    COdeActor* actor1;
    COdeActor* actor2;

protected:
    JointDescBase(int jointType, COdeActor* a1, COdeActor* a2) : type(jointType), actor1(a1), actor2(a2) {}
};

struct JointDescBall : JointDescBase {
    JointDescBall(COdeActor* a1, COdeActor* a2, const Ogre::Vector3& jointAnchor)
        : JointDescBase(TYPE_BALL, a1, a2), anchor(jointAnchor) {}
    Ogre::Vector3 anchor;
};

struct JointDescHinge : JointDescBase {
    JointDescHinge(COdeActor* a1, COdeActor* a2, const Ogre::Vector3& jointAxis, const Ogre::Vector3& jointAnchor)
        : JointDescBase(TYPE_HINGE, a1, a2), axis(jointAxis), anchor(jointAnchor) {}
    Ogre::Vector3 axis;
    Ogre::Vector3 anchor;
};

struct JointDescHinge2 : JointDescBase {
    JointDescHinge2(COdeActor* a1, COdeActor* a2, const Ogre::Vector3& jointAxis1, const Ogre::Vector3& jointAxis2,
                    const Ogre::Vector3& jointAnchor)
        : JointDescBase(TYPE_HINGE2, a1, a2), axis1(jointAxis1), axis2(jointAxis2), anchor(jointAnchor) {}
    Ogre::Vector3 axis1;
    Ogre::Vector3 axis2;
    Ogre::Vector3 anchor;
};

struct JointDescFixed : JointDescBase {
    JointDescFixed(COdeActor* a1, COdeActor* a2) : JointDescBase(TYPE_FIXED, a1, a2) {}
};

struct JointDescSlider : JointDescBase {
    JointDescSlider(COdeActor* a1, COdeActor* a2, const Ogre::Vector3& jointAxis)
        : JointDescBase(TYPE_SLIDER, a1, a2), axis(jointAxis) {}
    Ogre::Vector3 axis;
};

struct JointDescUniversal : JointDescBase {
    JointDescUniversal(COdeActor* a1, COdeActor* a2, const Ogre::Vector3& jointAxis1,
                       const Ogre::Vector3& jointAxis2, const Ogre::Vector3& jointAnchor)
        : JointDescBase(TYPE_UNIVERSAL, a1, a2), axis1(jointAxis1), axis2(jointAxis2), anchor(jointAnchor) {}
    Ogre::Vector3 axis1;
    Ogre::Vector3 axis2;
    Ogre::Vector3 anchor;
};
