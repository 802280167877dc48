// What contacts hand to the scene: the contact record and the receiver
// interface the scene node implements (begin, continue, end).
#pragma once

#include <OgreVector.h>

class COdeActor;
class COdeGeom;

// One contact point as the collision test reports it. Both touching nodes
// receive the same record in turn; the first listener that treats the
// contact may set `handled` so that one contact makes one sound.
struct ContactInfo {
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Vector3 normal = Ogre::Vector3::ZERO;
    float depth = 0.0f;
    bool handled = false;
};

// The contact listener of an actor (the scene node). `other` is the other
// actor's receiver, null when that actor has none.
class IOdeContactReceiver {
public:
    virtual ~IOdeContactReceiver() = default;
    virtual void OnContactBegin(IOdeContactReceiver* other, ContactInfo& info) = 0;
    virtual void OnContactContinue(IOdeContactReceiver* other, ContactInfo& info) = 0;
    virtual void OnContactEnd(IOdeContactReceiver* other) = 0;
};

// One entry of an actor's contact map. The timer counts the seconds stepped
// since the pair last touched; it is 0 after every contact.
struct ContactEntry {
    COdeGeom* ownGeom = nullptr;
    COdeActor* otherActor = nullptr;
    COdeGeom* otherGeom = nullptr;
    float timer = 0.0f;
};
