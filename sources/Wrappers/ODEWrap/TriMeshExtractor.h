// Pulls the triangles of a rendered entity into flat arrays (the collision
// mesh of a scene node is built from them).
#pragma once

#include <OgreMatrix4.h>
#include <OgreVector.h>

#include <cstdint>
#include <vector>

namespace Ogre {
class Entity;
class IndexData;
class VertexData;
}

class TriMeshExtractor {
public:
    // Every vertex is transformed by `transform`. Only whole triangles of
    // triangle-list sub-meshes are kept.
    TriMeshExtractor(const Ogre::Entity* entity, const Ogre::Matrix4& transform);

    const std::vector<Ogre::Vector3>& GetVertices() const { return mVertices; }
    const std::vector<uint32_t>& GetIndices() const { return mIndices; }
    size_t GetVertexCount() const { return mVertices.size(); }
    size_t GetIndexCount() const { return mIndices.size(); }

private:
    void AppendVertexData(const Ogre::VertexData* data);
    void AppendIndexData(const Ogre::IndexData* data, uint32_t offset, size_t vertexLimit);

    const Ogre::Entity* mEntity;
    Ogre::Matrix4 mTransform;
    std::vector<Ogre::Vector3> mVertices;
    std::vector<uint32_t> mIndices;
};
