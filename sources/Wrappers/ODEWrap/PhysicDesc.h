// Plain descriptions handed to the physics world: shapes, actors, masses and
// the surface values of a material.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// ---- shapes ----------------------------------------------------------------
struct ShapeDesc {
    enum {
        TYPE_PLANE = 0,
        TYPE_BOX = 1,
        TYPE_SPHERE = 2,
        TYPE_CAPSULE = 3,
        TYPE_TRIMESH = 5,
    };

    virtual ~ShapeDesc() = default;

    int type;
    Ogre::Vector3 position;          // relative to the actor
    Ogre::Quaternion orientation;    // w, x, y, z
    std::string materialName;        // resolved by the world; unknown names use "default"

protected:
    ShapeDesc(int shapeType, const std::string& material, const Ogre::Vector3& pos, const Ogre::Quaternion& orient)
        : type(shapeType), position(pos), orientation(orient), materialName(material) {}
};

struct BoxShapeDesc : ShapeDesc {
    explicit BoxShapeDesc(const Ogre::Vector3& boxSize, const std::string& material = "",
                          const Ogre::Vector3& pos = Ogre::Vector3::ZERO,
                          const Ogre::Quaternion& orient = Ogre::Quaternion::IDENTITY)
        : ShapeDesc(TYPE_BOX, material, pos, orient), size(boxSize) {}
    Ogre::Vector3 size;   // full edge lengths
};

struct SphereShapeDesc : ShapeDesc {
    explicit SphereShapeDesc(float sphereRadius, const std::string& material = "",
                             const Ogre::Vector3& pos = Ogre::Vector3::ZERO,
                             const Ogre::Quaternion& orient = Ogre::Quaternion::IDENTITY)
        : ShapeDesc(TYPE_SPHERE, material, pos, orient), radius(sphereRadius) {}
    float radius;
};

struct CapsuleShapeDesc : ShapeDesc {
    CapsuleShapeDesc(float capsuleHeight, float capsuleRadius, const std::string& material = "",
                     const Ogre::Vector3& pos = Ogre::Vector3::ZERO,
                     const Ogre::Quaternion& orient = Ogre::Quaternion::IDENTITY)
        : ShapeDesc(TYPE_CAPSULE, material, pos, orient), height(capsuleHeight), radius(capsuleRadius) {}
    float height;
    float radius;
};

struct TriMeshShapeDesc : ShapeDesc {
    // A mesh id with all bits set asks the world to build the mesh data from
    // the arrays below when the shape is attached.
    static constexpr uint32_t BUILD_FROM_ARRAYS = 0xFFFFFFFFu;

    explicit TriMeshShapeDesc(uint32_t id = BUILD_FROM_ARRAYS, const std::string& material = "",
                              const Ogre::Vector3& pos = Ogre::Vector3::ZERO,
                              const Ogre::Quaternion& orient = Ogre::Quaternion::IDENTITY)
        : ShapeDesc(TYPE_TRIMESH, material, pos, orient), meshId(id) {}

    std::vector<Ogre::Vector3> vertices;
    std::vector<uint32_t> indices;         // three per triangle
    std::vector<Ogre::Vector3> normals;    // one per triangle, or empty
    uint32_t meshId;
};

// Only the world wrapper builds planes; no physic object uses one.
struct PlaneShapeDesc : ShapeDesc {
    PlaneShapeDesc(const Ogre::Vector3& vector, float offset, const std::string& material = "",
                   const Ogre::Vector3& pos = Ogre::Vector3::ZERO,
                   const Ogre::Quaternion& orient = Ogre::Quaternion::IDENTITY)
        : ShapeDesc(TYPE_PLANE, material, pos, orient), planeVector(vector), planeOffset(offset) {}
    Ogre::Vector3 planeVector;
    float planeOffset;
};

// ---- actors ----------------------------------------------------------------
struct ActorDesc {
    enum { TYPE_STATIC = 0, TYPE_MOVABLE = 2 };

    explicit ActorDesc(int actorType = TYPE_STATIC) : type(actorType) {}
    virtual ~ActorDesc() = default;
    ActorDesc(const ActorDesc&) = delete;
    ActorDesc& operator=(const ActorDesc&) = delete;

    std::vector<std::unique_ptr<ShapeDesc>> shapes;
    int type;   // TYPE_MOVABLE gives the actor a body; anything else is static
};

// ---- masses ----------------------------------------------------------------
struct MassDesc {
    enum { MODE_TOTAL = 0, MODE_DENSITY = 1 };

    virtual ~MassDesc() = default;

    float value;            // density (MODE_DENSITY) or total mass (any other mode)
    Ogre::Vector3 offset;   // centre of mass
    int mode;

protected:
    MassDesc(float massValue, const Ogre::Vector3& massOffset, int massMode)
        : value(massValue), offset(massOffset), mode(massMode) {}
};

struct SphereMassDesc : MassDesc {
    SphereMassDesc(float massValue, const Ogre::Vector3& massOffset, float sphereRadius, int massMode = MODE_TOTAL)
        : MassDesc(massValue, massOffset, massMode), radius(sphereRadius) {}
    float radius;
};

struct BoxMassDesc : MassDesc {
    BoxMassDesc(float sizeX, float sizeY, float sizeZ, float massValue,
                const Ogre::Vector3& massOffset = Ogre::Vector3::ZERO, int massMode = MODE_TOTAL)
        : MassDesc(massValue, massOffset, massMode), x(sizeX), y(sizeY), z(sizeZ) {}
    float x, y, z;
};

struct CapsuleMassDesc : MassDesc {
    CapsuleMassDesc(float capsuleRadius, float capsuleLength, float massValue,
                    const Ogre::Vector3& massOffset = Ogre::Vector3::ZERO, int massMode = MODE_TOTAL)
        : MassDesc(massValue, massOffset, massMode), radius(capsuleRadius), length(capsuleLength) {}
    float radius, length;
};

struct CylinderMassDesc : MassDesc {
    CylinderMassDesc(float cylinderRadius, float cylinderLength, float massValue,
                     const Ogre::Vector3& massOffset = Ogre::Vector3::ZERO, int massMode = MODE_TOTAL)
        : MassDesc(massValue, massOffset, massMode), radius(cylinderRadius), length(cylinderLength) {}
    float radius, length;
};

struct InertiaTensorMassDesc : MassDesc {
    InertiaTensorMassDesc(float i11, float i22, float i33, float i12, float i13, float i23,
                          float cgX, float cgY, float cgZ, float massValue,
                          const Ogre::Vector3& massOffset = Ogre::Vector3::ZERO)
        : MassDesc(massValue, massOffset, MODE_TOTAL),
          I11(i11), I22(i22), I33(i33), I12(i12), I13(i13), I23(i23), cx(cgX), cy(cgY), cz(cgZ) {}
    float I11, I22, I33, I12, I13, I23;
    float cx, cy, cz;   // centre of gravity
};

// ---- materials -------------------------------------------------------------
// The nine surface values of a material. Contacts use FRICTION1, BOUNCE and
// BOUNCEVEL; the others are carried for the scene files.
struct MaterialDesc {
    MaterialDesc() = default;
    MaterialDesc(float f1, float f2, float velTreshold, float s1, float s2, float b, float bVel,
                 float cfm, float erp)
        : friction1(f1), friction2(f2), velThreshold(velTreshold), slip1(s1), slip2(s2),
          bounce(b), bounceVel(bVel), softCfm(cfm), softErp(erp) {}
    virtual ~MaterialDesc() = default;

    // The values of the world's "default" record.
    float friction1 = 10.0f;
    float friction2 = 10.0f;
    float velThreshold = 0.01f;
    float slip1 = 0.001f;
    float slip2 = 0.001f;
    float bounce = 0.1f;
    float bounceVel = 10.0f;
    float softCfm = 0.001f;
    float softErp = 0.5f;
};
