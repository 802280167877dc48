#include "TriMeshExtractor.h"

#include "Platform.h"

#include <OgreEntity.h>
#include <OgreHardwareBuffer.h>
#include <OgreHardwareIndexBuffer.h>
#include <OgreHardwareVertexBuffer.h>
#include <OgreMesh.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>

TriMeshExtractor::TriMeshExtractor(const Ogre::Entity* entity, const Ogre::Matrix4& transform)
    : mEntity(entity), mTransform(transform)
{
    if (!entity)
        return;
    const Ogre::MeshPtr& mesh = entity->getMesh();
    if (!mesh)
        return;
    if (mesh->sharedVertexData)
        AppendVertexData(mesh->sharedVertexData);
    const size_t sharedCount = mVertices.size();

    for (size_t i = 0; i < entity->getNumSubEntities(); ++i) {
        const Ogre::SubMesh* sub = entity->getSubEntity(i)->getSubMesh();
        if (!sub)
            continue;
        const bool triangles = sub->operationType == Ogre::RenderOperation::OT_TRIANGLE_LIST;
        if (!triangles)
            PlatLog("[ODEWrap] mesh \"%s\": sub-mesh %zu is not a triangle list, its faces are skipped",
                    mesh->getName().c_str(), i);
        if (!sub->useSharedVertices && sub->vertexData) {
            const uint32_t offset = static_cast<uint32_t>(mVertices.size());
            AppendVertexData(sub->vertexData);
            if (triangles)
                AppendIndexData(sub->indexData, offset, mVertices.size() - offset);
        } else if (sub->useSharedVertices && triangles) {
            AppendIndexData(sub->indexData, 0, sharedCount);
        }
    }
}

void TriMeshExtractor::AppendVertexData(const Ogre::VertexData* data)
{
    if (!data || data->vertexCount == 0)
        return;
    const size_t first = mVertices.size();
    mVertices.resize(first + data->vertexCount, Ogre::Vector3::ZERO);

    const Ogre::VertexElement* element =
        data->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
    if (!element) {
        PlatLog("[ODEWrap] mesh \"%s\": vertex data without positions", mEntity->getMesh()->getName().c_str());
        return;
    }
    const Ogre::HardwareVertexBufferSharedPtr buffer =
        data->vertexBufferBinding->getBuffer(element->getSource());
    const Ogre::VertexElementType type = element->getType();
    if (!buffer || (type != Ogre::VET_FLOAT3 && type != Ogre::VET_FLOAT4 && type != Ogre::VET_DOUBLE3)) {
        PlatLog("[ODEWrap] mesh \"%s\": unreadable vertex positions", mEntity->getMesh()->getName().c_str());
        return;
    }

    const size_t stride = buffer->getVertexSize();
    const unsigned char* base = static_cast<const unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
    base += data->vertexStart * stride;
    for (size_t v = 0; v < data->vertexCount; ++v, base += stride) {
        Ogre::Vector3 p;
        if (type == Ogre::VET_DOUBLE3) {
            double* d;
            element->baseVertexPointerToElement(const_cast<unsigned char*>(base), &d);
            p = Ogre::Vector3(static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2]));
        } else {
            float* f;
            element->baseVertexPointerToElement(const_cast<unsigned char*>(base), &f);
            p = Ogre::Vector3(f[0], f[1], f[2]);
        }
        mVertices[first + v] = mTransform * p;
    }
    buffer->unlock();
}

void TriMeshExtractor::AppendIndexData(const Ogre::IndexData* data, uint32_t offset, size_t vertexLimit)
{
    if (!data || !data->indexBuffer || data->indexCount < 3)
        return;
    // Only whole triangles: a partial tail would leave indices unset.
    const size_t triangles = data->indexCount / 3;
    const Ogre::HardwareIndexBufferSharedPtr& buffer = data->indexBuffer;
    const bool wide = buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT;
    const void* raw = buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY);

    mIndices.reserve(mIndices.size() + triangles * 3);
    size_t dropped = 0;
    for (size_t t = 0; t < triangles; ++t) {
        uint32_t tri[3];
        for (int k = 0; k < 3; ++k) {
            const size_t at = data->indexStart + t * 3 + k;
            tri[k] = wide ? static_cast<const uint32_t*>(raw)[at] : static_cast<const uint16_t*>(raw)[at];
        }
        // An index past this block's vertices would make the physics read
        // outside its arrays.
        if (tri[0] >= vertexLimit || tri[1] >= vertexLimit || tri[2] >= vertexLimit) {
            ++dropped;
            continue;
        }
        for (uint32_t index : tri)
            mIndices.push_back(index + offset);
    }
    buffer->unlock();
    if (dropped)
        PlatLog("[ODEWrap] mesh \"%s\": %zu triangles name missing vertices, skipped",
                mEntity->getMesh()->getName().c_str(), dropped);
}
