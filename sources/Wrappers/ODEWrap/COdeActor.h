// One physical participant: static scenery, or a movable object with a body.
// Builds its geoms from shape descriptions and keeps the contact map that
// turns per-step contacts into begin / continue / end notifications.
#pragma once

#include "COdeContact.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>
#include <ode/ode.h>

#include <cstdint>
#include <map>
#include <vector>

class COdeBody;
class COdeGeom;
class COdeWorld;
struct ShapeDesc;

class COdeActor {
public:
    COdeActor(COdeWorld* world, bool movable, IOdeContactReceiver* listener);
    ~COdeActor();
    COdeActor(const COdeActor&) = delete;
    COdeActor& operator=(const COdeActor&) = delete;

    COdeWorld* getWorld() const { return mWorld; }
    COdeBody* getBody() const { return mBody; }
    IOdeContactReceiver* getContactListener() const { return mListener; }
    // An object made in code gets its node as listener when it is attached.
    void setContactListener(IOdeContactReceiver* listener) { mListener = listener; }
    // The world's creation number: orders contact maps the same way in every
    // process (replays and LAN peers rely on the same notification order).
    uint32_t getSerial() const { return mSerial; }

    bool isEnabled() const { return mEnabled; }
    // Disabling stops the body and takes every geom out of collision.
    void setEnabled(bool enabled);

    void setPosition(const Ogre::Vector3& position);
    void setOrientation(const Ogre::Quaternion& orientation);
    Ogre::Vector3 getPosition() const;
    Ogre::Quaternion getOrientation() const;

    // mass != 0 also adds the shape's mass to the body (mode as in MassDesc).
    COdeGeom* attachShape(const ShapeDesc& desc, float mass, int mode);
    COdeGeom* createGeom(const ShapeDesc& desc);
    void removeShape(COdeGeom* geom);
    const std::vector<COdeGeom*>& getGeoms() const { return mGeoms; }
    dSpaceID getOwnSpace() const { return mOwnSpace; }

    // Contact generation for one geom pair this actor's geom g1 heads.
    void collide(COdeActor* other, dGeomID g1, dGeomID g2, dJointGroupID contactGroup);
    // After a batch of steps: ends the pairs no contact refreshed.
    void postStep(float stepped, float time);

    const std::map<uint32_t, ContactEntry>& getContacts() const { return mContacts; }
    // The world calls these when an actor goes away or collision ends.
    void forgetContactsWith(const COdeActor* other);
    void syncSpaceMembership();

private:
    void addGeomToSpace(COdeGeom* geom);

    bool mEnabled = false;
    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion mOrientation = Ogre::Quaternion::IDENTITY;
    IOdeContactReceiver* mListener;
    COdeBody* mBody = nullptr;
    COdeWorld* mWorld;
    std::vector<COdeGeom*> mGeoms;
    std::map<uint32_t, ContactEntry> mContacts;   // keyed by the other actor's serial
    dSpaceID mOwnSpace = nullptr;
    uint32_t mSerial;
};
