// The particle renderer bridge. The particle engine does not use OGRE's own
// particle systems: the sprite modifiers queue batches of quads, and once per
// viewport render, right after OGRE's main render-queue group, the flush
// copies them into one pair of dynamic hardware buffers and draws each batch
// with fixed sprite state. A dummy movable object in the scene reports the
// current camera, whose axes the sprites face.
#pragma once

#include <OgreMovableObject.h>
#include <OgreRenderQueueListener.h>
#include <OgreTexture.h>

#include <cstdint>
#include <vector>

namespace PRI {

// One sprite vertex as the batches hold it: position, texture coordinates,
// colour packed alpha << 24 | red << 16 | green << 8 | blue.
struct ParticleVertex {
    float position[3];
    float uv[2];
    uint32_t colour;
};
static_assert(sizeof(ParticleVertex) == 24, "vertex layout of the sprite buffers");

// One draw call's worth of quads; indices count from the batch's first vertex.
struct ParticleBatch {
    std::vector<ParticleVertex> vertices;
    int32_t vertexCount = 0;
    std::vector<uint16_t> indices;
    int32_t indexCount = 0;
    Ogre::TexturePtr texture;   // null draws untextured
    int32_t sourceBlend = 7;    // Ogre::SBF_SOURCE_ALPHA
    int32_t destBlend = 9;      // Ogre::SBF_ONE_MINUS_SOURCE_ALPHA; 0 (one) for additive sprites
    int32_t vertexCapacity = 0;
    int32_t indexCapacity = 0;
};

// Draws the particles once the main queue group (50) has been rendered.
class ParticleRenderQueueListener : public Ogre::RenderQueueListener {
public:
    void renderQueueStarted(Ogre::uint8 queueGroupId, const Ogre::String& invocation, bool& skip) override;
    void renderQueueEnded(Ogre::uint8 queueGroupId, const Ogre::String& invocation, bool& repeat) override;

    uint8_t mQueueGroupId = 50;
    uint8_t mDrawAfter = 1;
};

// Renders nothing and is never culled; OGRE tells it each camera it renders for.
class ParticleSystemDummyObject : public Ogre::MovableObject {
public:
    explicit ParticleSystemDummyObject(const Ogre::String& name);
    const Ogre::String& getMovableType() const override;
    void _notifyCurrentCamera(Ogre::Camera* camera) override;
    // Detached from outside (its node destroyed with the graphics world):
    // the renderer must not touch that node again.
    void _notifyAttached(Ogre::Node* parent, bool isTagPoint = false) override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables) override;

private:
    Ogre::AxisAlignedBox mBox;
};

// Packs a sprite colour: alpha limited to 1, every channel kept in 0..1,
// each byte truncated from value x 255.
uint32_t PackColour(float alpha, float red, float green, float blue);

// Every frame from the particle manager: readies the renderer on the first
// frame with a graphics world, its scene manager and the OGRE root.
void ensureRenderer();
// Undoes ensureRenderer; with no renderer only the queued batches go.
void shutdownRenderer();
// Texture addressing clamp, colour and alpha modulate texture x diffuse.
void resetRenderState();
void createBuffers(uint32_t vertices, uint32_t indices);
void destroyBuffers();
// The list owns the batch until the flush.
void queueBatch(ParticleBatch* batch);
void setRenderState();
// Uploads and draws every queued batch, then empties the list. Without a
// renderer the batches are dropped.
void fillBuffers();

// What the flush did, for tests and diagnostics.
struct RendererStats {
    uint32_t vertexBufferSize = 0;   // vertices
    uint32_t indexBufferSize = 0;    // indices
    uint32_t bufferCreations = 0;    // createBuffers calls since the renderer was readied
    uint32_t bufferLocks = 0;        // lock pairs in total
    uint32_t drawCalls = 0;          // in total
};
const RendererStats& GetStats();
bool IsReady();
const std::vector<ParticleBatch*>& GetQueuedBatches();
void DiscardBatches();

}  // namespace PRI
