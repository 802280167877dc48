#include "COdeShapes.h"

#include "COdeActor.h"
#include "COdeWorld.h"
#include "KEMException.h"
#include "OdeConvert.h"
#include "Platform.h"

#include <climits>
#include <memory>

// ODE 0.16 marks geom transforms deprecated in favour of body offsets, but
// offsets need a body and static actors have none.
#define ODE_TRANSFORM_BEGIN _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wdeprecated-declarations\"")
#define ODE_TRANSFORM_END _Pragma("GCC diagnostic pop")

// ---- COdeGeom --------------------------------------------------------------
COdeGeom::COdeGeom(COdeActor* owner) : mOwner(owner)
{
    if (!owner)
        KEM_THROW("Owner (actor) must be defined!");
}

COdeGeom::~COdeGeom()
{
    if (mGeom) {
        dGeomDestroy(mGeom);
        mGeom = nullptr;
    }
}

void COdeGeom::adoptGeom(dGeomID geom, dSpaceID space)
{
    mGeom = geom;
    mSpace = space;
    dGeomSetData(mGeom, this);
}

void COdeGeom::setPosition(const Ogre::Vector3& position)
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return;
    dGeomSetPosition(mGeom, position.x, position.y, position.z);
}

Ogre::Vector3 COdeGeom::getPosition() const
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return Ogre::Vector3::ZERO;
    return OdeToVector(dGeomGetPosition(mGeom));
}

void COdeGeom::setOrientation(const Ogre::Quaternion& orientation)
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return;
    dQuaternion q;
    QuaternionToOde(orientation, q);
    dGeomSetQuaternion(mGeom, q);
}

Ogre::Quaternion COdeGeom::getOrientation() const
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return Ogre::Quaternion::IDENTITY;
    dQuaternion q;
    dGeomGetQuaternion(mGeom, q);
    return OdeToQuaternion(q);
}

Ogre::Vector3 COdeGeom::getWorldPosition() const { return getPosition(); }
Ogre::Quaternion COdeGeom::getWorldOrientation() const { return getOrientation(); }

void COdeGeom::setUserData(void* data) { dGeomSetData(mGeom, data); }
void* COdeGeom::getUserData() const { return dGeomGetData(mGeom); }

// ---- kinds -----------------------------------------------------------------
COdePlane::COdePlane(dSpaceID space, COdeActor* owner, float a, float b, float c, float d) : COdeGeom(owner)
{
    if (!space)
        KEM_THROW("Need a valid space!");
    if (a == 0.0f && b == 0.0f && c == 0.0f)
        KEM_THROW("Invalid plane equation!");
    Ogre::Vector3 n(a, b, c);
    if (n.squaredLength() < 0.02f)
        n = Ogre::Vector3::UNIT_Y;
    else
        n.normalise();
    adoptGeom(dCreatePlane(space, n.x, n.y, n.z, d), space);
}

COdeBox::COdeBox(dSpaceID space, COdeActor* owner, float lx, float ly, float lz) : COdeGeom(owner)
{
    if (!space)
        KEM_THROW("Need a valid space!");
    adoptGeom(dCreateBox(space, lx, ly, lz), space);
}

COdeSphere::COdeSphere(dSpaceID space, COdeActor* owner, float radius) : COdeGeom(owner)
{
    if (!space)
        KEM_THROW("Need a valid space");
    if (!(radius > 0.0f))
        KEM_THROW("Radius may be invalid!");
    adoptGeom(dCreateSphere(space, radius), space);
}

COdeCylinder::COdeCylinder(dSpaceID space, COdeActor* owner, float radius, float length) : COdeGeom(owner)
{
    if (!space)
        KEM_THROW("Need a valid space!");
    if (!(radius > 0.0f))
        KEM_THROW("Radius should be invalid!");
    if (!(length > 0.0f))
        KEM_THROW("Length should be positive!");
    adoptGeom(dCreateCapsule(space, radius, length), space);
}

// ---- triangle meshes -------------------------------------------------------
COdeTriMesh::COdeTriMesh(dSpaceID space, COdeActor* owner, dTriMeshDataID data) : COdeGeom(owner), mData(data)
{
    if (!space)
        KEM_THROW("Need a valid space!");
    if (!data)
        KEM_THROW("Mesh with such id wasn't found!");
    dGeomID geom = dCreateTriMesh(space, data, nullptr, nullptr, nullptr);
    // Temporal coherence for the shapes the game moves against static meshes.
    dGeomTriMeshEnableTC(geom, dSphereClass, 1);
    dGeomTriMeshEnableTC(geom, dBoxClass, 1);
    adoptGeom(geom, space);
}

COdeTriMesh::~COdeTriMesh()
{
    if (mGeom) {
        dGeomDestroy(mGeom);
        mGeom = nullptr;
    }
    // The data may only go once no geom reads it any more.
    if (mOwnedMeshId != 0xFFFFFFFFu)
        mOwner->getWorld()->RemoveMeshData(mOwnedMeshId);
}

COdeMeshData COdeTriMesh::buildData(const std::vector<Ogre::Vector3>& vertices,
                                    const std::vector<uint32_t>& indices,
                                    const std::vector<Ogre::Vector3>& normals)
{
    if (vertices.empty())
        KEM_THROW("Wont create empty mesh!");
    if (indices.empty())
        KEM_THROW("Vertices without indices are meaningless!");
    if (vertices.size() > static_cast<size_t>(INT_MAX / 3) || indices.size() > static_cast<size_t>(INT_MAX))
        KEM_THROW("Mesh is too large!");

    // ODE reads every index it is given: a partial last triangle or an index
    // past the vertex array would make it read outside the arrays.
    const size_t triangleCount = indices.size() / 3;
    if (indices.size() % 3 != 0)
        PlatLog("[ODEWrap] mesh: %zu trailing indices do not form a triangle, ignored", indices.size() % 3);
    const bool useNormals = !normals.empty() && normals.size() == triangleCount;
    if (!normals.empty() && !useNormals)
        PlatLog("[ODEWrap] mesh: %zu normals for %zu triangles, normals ignored", normals.size(), triangleCount);

    std::unique_ptr<dTriIndex[]> idx(new dTriIndex[triangleCount * 3]);
    std::unique_ptr<float[]> nrm(useNormals ? new float[triangleCount * 3] : nullptr);
    size_t kept = 0;
    for (size_t t = 0; t < triangleCount; ++t) {
        const uint32_t* tri = &indices[t * 3];
        if (tri[0] >= vertices.size() || tri[1] >= vertices.size() || tri[2] >= vertices.size())
            continue;
        for (int k = 0; k < 3; ++k)
            idx[kept * 3 + k] = tri[k];
        if (useNormals) {
            nrm[kept * 3 + 0] = normals[t].x;
            nrm[kept * 3 + 1] = normals[t].y;
            nrm[kept * 3 + 2] = normals[t].z;
        }
        ++kept;
    }
    if (kept < triangleCount)
        PlatLog("[ODEWrap] mesh: %zu triangles name missing vertices, ignored", triangleCount - kept);
    if (kept == 0)
        KEM_THROW("Mesh has no valid triangle!");

    std::unique_ptr<float[]> vtx(new float[vertices.size() * 3]);
    for (size_t v = 0; v < vertices.size(); ++v) {
        vtx[v * 3 + 0] = vertices[v].x;
        vtx[v * 3 + 1] = vertices[v].y;
        vtx[v * 3 + 2] = vertices[v].z;
    }

    COdeMeshData record;
    record.vertexCount = static_cast<int>(vertices.size());
    record.indexCount = static_cast<int>(kept * 3);
    record.data = dGeomTriMeshDataCreate();
    const int stride = 3 * sizeof(float);
    const int triStride = 3 * sizeof(dTriIndex);
    if (useNormals)
        dGeomTriMeshDataBuildSingle1(record.data, vtx.get(), stride, record.vertexCount, idx.get(),
                                     record.indexCount, triStride, nrm.get());
    else
        dGeomTriMeshDataBuildSingle(record.data, vtx.get(), stride, record.vertexCount, idx.get(),
                                    record.indexCount, triStride);
    record.vertices = vtx.release();
    record.indices = idx.release();
    record.normals = nrm.release();
    return record;
}

void COdeTriMesh::freeData(COdeMeshData& data)
{
    if (data.data)
        dGeomTriMeshDataDestroy(data.data);
    delete[] data.vertices;
    delete[] data.indices;
    delete[] data.normals;
    data = COdeMeshData();
}

// ---- transform -------------------------------------------------------------
COdeTransformGeom::COdeTransformGeom(dSpaceID space, COdeActor* owner) : COdeGeom(owner)
{
    if (!space)
        KEM_THROW("Need a valid space!");
    ODE_TRANSFORM_BEGIN
    dGeomID geom = dCreateGeomTransform(space);
    // The wrapper owns the inner geom; contacts on it report the inner geom,
    // which carries this wrapper as user data.
    dGeomTransformSetCleanup(geom, 0);
    dGeomTransformSetInfo(geom, 1);
    ODE_TRANSFORM_END
    adoptGeom(geom, space);
}

COdeTransformGeom::~COdeTransformGeom()
{
    if (mInner) {
        ODE_TRANSFORM_BEGIN
        if (mGeom)
            dGeomTransformSetGeom(mGeom, nullptr);
        ODE_TRANSFORM_END
        // Cleared first: the inner geom's destructor may ask the world which
        // geoms still read its mesh data.
        COdeGeom* inner = mInner;
        mInner = nullptr;
        delete inner;
    }
}

void COdeTransformGeom::attach(COdeGeom* inner)
{
    if (!inner)
        KEM_THROW("Attachment failed due to invalid geom passed!");
    if (!inner->getSpace())
        KEM_THROW("Attached geom doesn't contain valid ODE space!");
    mInner = inner;
    inner->setUserData(getUserData());
    if (dGeomGetSpace(inner->getGeomId()))
        dSpaceRemove(dGeomGetSpace(inner->getGeomId()), inner->getGeomId());
    ODE_TRANSFORM_BEGIN
    dGeomTransformSetGeom(mGeom, inner->getGeomId());
    ODE_TRANSFORM_END
}

int COdeTransformGeom::getShapeType() const
{
    return mInner ? mInner->getShapeType() : ODE_SHAPE_EMPTY_TRANSFORM;
}

void COdeTransformGeom::setPosition(const Ogre::Vector3& position)
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return;
    if (mInner)
        mInner->setPosition(position);
    else
        COdeGeom::setPosition(position);
}

Ogre::Vector3 COdeTransformGeom::getPosition() const
{
    return mInner ? mInner->getPosition() : COdeGeom::getPosition();
}

void COdeTransformGeom::setOrientation(const Ogre::Quaternion& orientation)
{
    if (getShapeType() == ODE_SHAPE_PLANE)
        return;
    if (mInner)
        mInner->setOrientation(orientation);
    else
        COdeGeom::setOrientation(orientation);
}

Ogre::Quaternion COdeTransformGeom::getOrientation() const
{
    return mInner ? mInner->getOrientation() : COdeGeom::getOrientation();
}

Ogre::Vector3 COdeTransformGeom::getWorldPosition() const
{
    const Ogre::Vector3 own = OdeToVector(dGeomGetPosition(mGeom));
    if (!mInner)
        return own;
    if (getShapeType() == ODE_SHAPE_PLANE)
        return Ogre::Vector3::ZERO;
    dQuaternion q;
    dGeomGetQuaternion(mGeom, q);
    return own + OdeToQuaternion(q) * mInner->getPosition();
}

Ogre::Quaternion COdeTransformGeom::getWorldOrientation() const
{
    dQuaternion q;
    dGeomGetQuaternion(mGeom, q);
    const Ogre::Quaternion own = OdeToQuaternion(q);
    if (!mInner)
        return own;
    if (getShapeType() == ODE_SHAPE_PLANE)
        return Ogre::Quaternion::IDENTITY;
    return own * mInner->getOrientation();
}
