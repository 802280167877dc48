// Collision geometry: one wrapper per ODE geom, owned by an actor. Every
// wrapper sets itself as its geom's ODE user data, so the collision callback
// finds the wrapper (and so the owning actor) from any geom.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>
#include <ode/ode.h>

#include <cstdint>
#include <vector>

class COdeActor;
struct COdeMaterial;

// Shape type codes returned by getShapeType.
enum {
    ODE_SHAPE_PLANE = 0,
    ODE_SHAPE_BOX = 1,
    ODE_SHAPE_SPHERE = 2,
    ODE_SHAPE_CAPSULE = 4,
    ODE_SHAPE_TRIMESH = 5,
    ODE_SHAPE_EMPTY_TRANSFORM = 7,
};

class COdeGeom {
public:
    virtual ~COdeGeom();
    COdeGeom(const COdeGeom&) = delete;
    COdeGeom& operator=(const COdeGeom&) = delete;

    dGeomID getGeomId() const { return mGeom; }
    // The space the geom belongs to (also while it is taken out of collision).
    dSpaceID getSpace() const { return mSpace; }
    void setSpace(dSpaceID space) { mSpace = space; }

    virtual void setMaterial(COdeMaterial* material) { mMaterial = material; }
    COdeMaterial* getMaterial() const { return mMaterial; }

    virtual int getShapeType() const = 0;
    virtual void setPosition(const Ogre::Vector3& position);
    virtual Ogre::Vector3 getPosition() const;
    virtual void setOrientation(const Ogre::Quaternion& orientation);
    virtual Ogre::Quaternion getOrientation() const;
    virtual Ogre::Vector3 getWorldPosition() const;
    virtual Ogre::Quaternion getWorldOrientation() const;

    void setUserData(void* data);
    void* getUserData() const;

    COdeActor* getOwner() const { return mOwner; }

protected:
    explicit COdeGeom(COdeActor* owner);
    // Keeps the new geom and makes this wrapper its user data.
    void adoptGeom(dGeomID geom, dSpaceID space);

    dGeomID mGeom = nullptr;
    dSpaceID mSpace = nullptr;
    COdeMaterial* mMaterial = nullptr;
    COdeActor* mOwner = nullptr;
};

class COdePlane : public COdeGeom {
public:
    // Refuses a zero normal; a normal too short to trust becomes (0, 1, 0);
    // d goes to ODE unchanged.
    COdePlane(dSpaceID space, COdeActor* owner, float a, float b, float c, float d);
    int getShapeType() const override { return ODE_SHAPE_PLANE; }
};

class COdeBox : public COdeGeom {
public:
    COdeBox(dSpaceID space, COdeActor* owner, float lx, float ly, float lz);
    int getShapeType() const override { return ODE_SHAPE_BOX; }
};

class COdeSphere : public COdeGeom {
public:
    COdeSphere(dSpaceID space, COdeActor* owner, float radius);
    int getShapeType() const override { return ODE_SHAPE_SPHERE; }
};

// ODE's capsule (a capped cylinder along the geom's local Z).
class COdeCylinder : public COdeGeom {
public:
    COdeCylinder(dSpaceID space, COdeActor* owner, float radius, float length);
    int getShapeType() const override { return ODE_SHAPE_CAPSULE; }
};

// ODE triangle-mesh data and the arrays it reads; the world owns these.
struct COdeMeshData {
    dTriMeshDataID data = nullptr;
    float* vertices = nullptr;     // 3 per vertex
    dTriIndex* indices = nullptr;  // 3 per triangle
    float* normals = nullptr;      // 3 per triangle, or null
    int vertexCount = 0;
    int indexCount = 0;
};

class COdeTriMesh : public COdeGeom {
public:
    COdeTriMesh(dSpaceID space, COdeActor* owner, dTriMeshDataID data);
    ~COdeTriMesh() override;
    int getShapeType() const override { return ODE_SHAPE_TRIMESH; }
    dTriMeshDataID getMeshData() const { return mData; }

    // Mesh data the world registered for this geom alone (a shape built
    // straight from arrays); freed with the geom. Invalid id: none.
    void setOwnedMeshId(uint32_t id) { mOwnedMeshId = id; }

    // Copies the arrays and builds ODE data from them. Only whole triangles
    // whose indices name existing vertices are kept; normals are used only
    // when there is exactly one per kept triangle. Throws on empty input.
    static COdeMeshData buildData(const std::vector<Ogre::Vector3>& vertices,
                                  const std::vector<uint32_t>& indices,
                                  const std::vector<Ogre::Vector3>& normals);
    // Destroys the ODE data and frees the arrays of a record from buildData.
    static void freeData(COdeMeshData& data);

private:
    dTriMeshDataID mData = nullptr;
    uint32_t mOwnedMeshId = 0xFFFFFFFFu;
};

// Places an inner geom relative to itself; the actor moves the transform.
class COdeTransformGeom : public COdeGeom {
public:
    COdeTransformGeom(dSpaceID space, COdeActor* owner);
    ~COdeTransformGeom() override;

    // Takes ownership of the inner geom and moves it out of its space into
    // the transform.
    void attach(COdeGeom* inner);
    COdeGeom* getInner() const { return mInner; }

    int getShapeType() const override;
    void setPosition(const Ogre::Vector3& position) override;
    Ogre::Vector3 getPosition() const override;
    void setOrientation(const Ogre::Quaternion& orientation) override;
    Ogre::Quaternion getOrientation() const override;
    Ogre::Vector3 getWorldPosition() const override;
    Ogre::Quaternion getWorldOrientation() const override;

private:
    COdeGeom* mInner = nullptr;
};
