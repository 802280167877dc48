#include "ParticleRenderer.h"

#include "CParticleMgr.h"

#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <Platform.h>

#include <Ogre.h>

#include <cstring>

namespace PRI {

namespace {

// Draws the shared render operation, as it stands for the current batch,
// with the identity world transform.
class SpriteRenderable : public Ogre::Renderable {
public:
    const Ogre::MaterialPtr& getMaterial() const override { return mMaterial; }
    void getRenderOperation(Ogre::RenderOperation& op) override { op = *mOperation; }
    void getWorldTransforms(Ogre::Matrix4* xform) const override { *xform = Ogre::Matrix4::IDENTITY; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
    const Ogre::LightList& getLights() const override { return mNoLights; }

    Ogre::MaterialPtr mMaterial;
    Ogre::RenderOperation* mOperation = nullptr;

private:
    Ogre::LightList mNoLights;
};

// Tells the renderer when its scene manager is destroyed.
class SceneWatch : public Ogre::SceneManager::Listener {
public:
    void sceneManagerDestroyed(Ogre::SceneManager* source) override;
};

struct Renderer {
    Ogre::RenderSystem* renderSystem = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    CWrapOgreWorld* world = nullptr;
    CWrapOgreNode* node = nullptr;
    ParticleSystemDummyObject* dummy = nullptr;
    ParticleRenderQueueListener listener;
    SceneWatch sceneWatch;
    // Set when the scene manager or the camera-hack node went without us.
    bool sceneGone = false;
    bool nodeGone = false;

    Ogre::RenderOperation operation;
    Ogre::VertexData* vertexData = nullptr;
    Ogre::IndexData* indexData = nullptr;
    Ogre::HardwareVertexBufferSharedPtr vertexBuffer;
    Ogre::HardwareIndexBufferSharedPtr indexBuffer;

    // Sprite state: one material with a texture unit, one without.
    Ogre::MaterialPtr textured;
    Ogre::MaterialPtr untextured;
    SpriteRenderable renderable;

    // Render-state descriptors.
    Ogre::TextureAddressingMode addressing = Ogre::TAM_CLAMP;
    Ogre::LayerBlendOperationEx colourOperation = Ogre::LBX_MODULATE;
    Ogre::LayerBlendOperationEx alphaOperation = Ogre::LBX_MODULATE;

    std::vector<ParticleBatch*> batches;
    RendererStats stats;
};

// Never destroyed: it holds OGRE handles that must not be released after
// OGRE has gone at program exit.
Renderer& R() {
    static Renderer* renderer = new Renderer;
    return *renderer;
}

const char* const kCameraHackNode = "PfxCameraHack";
const char* const kTexturedMaterial = "PfxSprite";
const char* const kUntexturedMaterial = "PfxSpriteUntextured";

Ogre::Pass* PassOf(const Ogre::MaterialPtr& material) {
    return material ? material->getTechnique(0)->getPass(0) : nullptr;
}

Ogre::MaterialPtr CreateSpriteMaterial(const char* name, bool textured) {
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists(name, Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME))
        materials.remove(name, Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
    Ogre::MaterialPtr material =
        materials.create(name, Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
    if (textured)
        material->getTechnique(0)->getPass(0)->createTextureUnitState();
    return material;
}

void RemoveMaterial(Ogre::MaterialPtr& material) {
    if (!material)
        return;
    if (Ogre::MaterialManager* materials = Ogre::MaterialManager::getSingletonPtr())
        materials->remove(material);
    material.reset();
}

// The ARGB packing of the batches turned into the bytes r, g, b, a that the
// buffer's normalised ubyte4 colour element reads.
uint32_t ToBufferColour(uint32_t argb) {
    return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

void SceneWatch::sceneManagerDestroyed(Ogre::SceneManager* source) {
    if (source == R().sceneManager)
        R().sceneGone = true;
}

uint8_t ColourByte(float value) {
    // NaN and anything below 0 give 0; anything above 1 gives 255.
    if (!(value > 0.0f))
        return 0;
    if (value > 1.0f)
        value = 1.0f;
    return static_cast<uint8_t>(static_cast<int>(value * 255.0f) & 0xFF);
}

}  // namespace

// ---- listener and dummy object ---------------------------------------------------------

namespace {

// Called from inside OGRE's frame: nothing may be thrown back into it.
void RenderParticles() {
    try {
        gParticleMgr.Render();
    } catch (const Ogre::Exception& e) {
        PlatLog("particle rendering: %s", e.getDescription().c_str());
        DiscardBatches();
    }
}

}  // namespace

void ParticleRenderQueueListener::renderQueueStarted(Ogre::uint8 queueGroupId, const Ogre::String&, bool&) {
    if (queueGroupId == mQueueGroupId && mDrawAfter == 0)
        RenderParticles();
}

void ParticleRenderQueueListener::renderQueueEnded(Ogre::uint8 queueGroupId, const Ogre::String&, bool&) {
    if (queueGroupId == mQueueGroupId && mDrawAfter == 1)
        RenderParticles();
}

ParticleSystemDummyObject::ParticleSystemDummyObject(const Ogre::String& name)
    : Ogre::MovableObject(name), mBox(Ogre::Vector3(-1e16f, -1e16f, -1e16f), Ogre::Vector3(1e16f, 1e16f, 1e16f)) {}

const Ogre::String& ParticleSystemDummyObject::getMovableType() const {
    static const Ogre::String type = "PSDummy";
    return type;
}

void ParticleSystemDummyObject::_notifyCurrentCamera(Ogre::Camera* camera) {
    Ogre::MovableObject::_notifyCurrentCamera(camera);
    Ogre::Vector3 x, y, z;
    camera->getRealOrientation().ToAxes(x, y, z);
    const float right[3] = {x.x, x.y, x.z};
    const float up[3] = {y.x, y.y, y.z};
    const float direction[3] = {z.x, z.y, z.z};
    gParticleMgr.SetCameraAxes(right, up, direction);
}

void ParticleSystemDummyObject::_notifyAttached(Ogre::Node* parent, bool isTagPoint) {
    Ogre::MovableObject::_notifyAttached(parent, isTagPoint);
    if (!parent && R().dummy == this)
        R().nodeGone = true;
}

const Ogre::AxisAlignedBox& ParticleSystemDummyObject::getBoundingBox() const { return mBox; }

Ogre::Real ParticleSystemDummyObject::getBoundingRadius() const { return 1e16f; }

void ParticleSystemDummyObject::_updateRenderQueue(Ogre::RenderQueue*) {}

void ParticleSystemDummyObject::visitRenderables(Ogre::Renderable::Visitor*, bool) {}

// ---- renderer life ---------------------------------------------------------------------------

uint32_t PackColour(float alpha, float red, float green, float blue) {
    return static_cast<uint32_t>(ColourByte(alpha)) << 24 | static_cast<uint32_t>(ColourByte(red)) << 16 |
           static_cast<uint32_t>(ColourByte(green)) << 8 | static_cast<uint32_t>(ColourByte(blue));
}

bool IsReady() { return R().renderSystem != nullptr; }

const RendererStats& GetStats() { return R().stats; }

void ensureRenderer() {
    Renderer& r = R();
    CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
    Ogre::SceneManager* sceneManager = CWrapOgreWorld::GetSceneManager();
    if (r.renderSystem) {
        if (!r.sceneGone && !r.nodeGone && world == r.world && sceneManager == r.sceneManager)
            return;
        // The 3D engine was restarted under us: start again on the new one.
        shutdownRenderer();
    }
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (!world || !sceneManager || !root || !root->getRenderSystem())
        return;
    try {
        r.world = world;
        r.sceneManager = sceneManager;
        r.sceneGone = false;
        r.nodeGone = false;
        sceneManager->addListener(&r.sceneWatch);
        r.node = world->CreateNode(kCameraHackNode);
        r.dummy = new ParticleSystemDummyObject(r.node->getOgreNode()->getName());
        r.dummy->setCastShadows(false);
        r.node->getOgreNode()->attachObject(r.dummy);
        r.textured = CreateSpriteMaterial(kTexturedMaterial, true);
        r.untextured = CreateSpriteMaterial(kUntexturedMaterial, false);
        r.renderSystem = root->getRenderSystem();
        sceneManager->addRenderQueueListener(&r.listener);
        r.stats = RendererStats();
        setRenderState();
        r.textured->load();
        r.untextured->load();
        createBuffers(256, 384);
    } catch (const Ogre::Exception& e) {
        PlatLog("particle renderer: %s", e.getDescription().c_str());
        shutdownRenderer();
    } catch (const CKEMException& e) {
        PlatLog("particle renderer: %s", e.GetReason().c_str());
        shutdownRenderer();
    }
}

void shutdownRenderer() {
    Renderer& r = R();
    DiscardBatches();
    // The graphics world or its scene manager may have gone first (tests,
    // or a shutdown out of order): only what still exists is touched.
    const bool sceneAlive = r.sceneManager && !r.sceneGone;
    const bool nodeAlive = r.node && !r.nodeGone && sceneAlive;
    if (sceneAlive) {
        r.sceneManager->removeRenderQueueListener(&r.listener);
        r.sceneManager->removeListener(&r.sceneWatch);
    }
    if (r.dummy) {
        ParticleSystemDummyObject* dummy = r.dummy;
        r.dummy = nullptr;
        if (nodeAlive)
            dummy->detachFromParent();
        delete dummy;
    }
    if (nodeAlive)
        delete r.node;
    r.node = nullptr;
    destroyBuffers();
    RemoveMaterial(r.textured);
    RemoveMaterial(r.untextured);
    r.renderable.mMaterial.reset();
    r.renderSystem = nullptr;
    r.sceneManager = nullptr;
    r.world = nullptr;
    r.sceneGone = false;
    r.nodeGone = false;
}

void resetRenderState() {
    Renderer& r = R();
    r.addressing = Ogre::TAM_CLAMP;
    r.colourOperation = Ogre::LBX_MODULATE;
    r.alphaOperation = Ogre::LBX_MODULATE;
}

void createBuffers(uint32_t vertices, uint32_t indices) {
    Renderer& r = R();
    destroyBuffers();
    Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
    r.vertexData = new Ogre::VertexData();
    Ogre::VertexDeclaration* declaration = r.vertexData->vertexDeclaration;
    declaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    declaration->addElement(0, 12, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    declaration->addElement(0, 20, Ogre::VET_UBYTE4_NORM, Ogre::VES_DIFFUSE);
    r.vertexBuffer = buffers.createVertexBuffer(sizeof(ParticleVertex), vertices,
                                                Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE, false);
    r.vertexData->vertexBufferBinding->setBinding(0, r.vertexBuffer);
    r.indexData = new Ogre::IndexData();
    r.indexBuffer = buffers.createIndexBuffer(Ogre::HardwareIndexBuffer::IT_16BIT, indices,
                                              Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE, false);
    r.indexData->indexBuffer = r.indexBuffer;
    r.operation.vertexData = r.vertexData;
    r.operation.indexData = r.indexData;
    r.operation.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
    r.operation.useIndexes = true;
    r.stats.vertexBufferSize = vertices;
    r.stats.indexBufferSize = indices;
    ++r.stats.bufferCreations;
}

void destroyBuffers() {
    Renderer& r = R();
    r.operation.vertexData = nullptr;
    r.operation.indexData = nullptr;
    delete r.vertexData;
    r.vertexData = nullptr;
    delete r.indexData;
    r.indexData = nullptr;
    r.vertexBuffer.reset();
    r.indexBuffer.reset();
    r.stats.vertexBufferSize = 0;
    r.stats.indexBufferSize = 0;
}

void queueBatch(ParticleBatch* batch) {
    if (batch)
        R().batches.push_back(batch);
}

const std::vector<ParticleBatch*>& GetQueuedBatches() { return R().batches; }

void DiscardBatches() {
    for (ParticleBatch* batch : R().batches)
        delete batch;
    R().batches.clear();
}

// Sprite state: depth test on (less or equal) without depth writes, no
// culling, no fog, no lighting, Gouraud shading, all colour channels
// written, no alpha rejection; texture unit 0 linear filtered, point
// mipmaps, clamped, identity texture matrix, texture x diffuse. Scene
// blending is set per batch.
void setRenderState() {
    Renderer& r = R();
    for (Ogre::Pass* pass : {PassOf(r.textured), PassOf(r.untextured)}) {
        if (!pass)
            continue;
        pass->setDepthCheckEnabled(true);
        pass->setDepthWriteEnabled(false);
        pass->setDepthFunction(Ogre::CMPF_LESS_EQUAL);
        pass->setCullingMode(Ogre::CULL_NONE);
        pass->setManualCullingMode(Ogre::MANUAL_CULL_NONE);
        pass->setFog(true, Ogre::FOG_NONE, Ogre::ColourValue::White, 1.0f, 0.0f, 1.0f);
        pass->setColourWriteEnabled(true);
        pass->setLightingEnabled(false);
        pass->setShadingMode(Ogre::SO_GOURAUD);
        pass->setAlphaRejectFunction(Ogre::CMPF_ALWAYS_PASS);
        pass->setVertexColourTracking(Ogre::TVC_NONE);
        if (pass->getNumTextureUnitStates() > 0) {
            Ogre::TextureUnitState* unit = pass->getTextureUnitState(0);
            unit->setTextureCoordSet(0);
            unit->setTextureFiltering(Ogre::FO_LINEAR, Ogre::FO_LINEAR, Ogre::FO_POINT);
            unit->setTextureAddressingMode(r.addressing);
            unit->setTextureTransform(Ogre::Matrix4::IDENTITY);
            unit->setColourOperationEx(r.colourOperation, Ogre::LBS_TEXTURE, Ogre::LBS_DIFFUSE);
            unit->setAlphaOperation(r.alphaOperation, Ogre::LBS_TEXTURE, Ogre::LBS_DIFFUSE);
        }
    }
}

void fillBuffers() {
    Renderer& r = R();
    if (r.batches.empty())
        return;
    if (!r.renderSystem || !r.vertexBuffer || !r.indexBuffer || r.sceneGone) {
        DiscardBatches();
        return;
    }
    size_t totalVertices = 0, totalIndices = 0;
    for (const ParticleBatch* batch : r.batches) {
        totalVertices += static_cast<size_t>(batch->vertexCount);
        totalIndices += static_cast<size_t>(batch->indexCount);
    }
    if (totalVertices == 0)
        return;

    // Buffers only grow, by doubling, so steady frames allocate nothing.
    size_t vertexSize = r.vertexBuffer->getNumVertices();
    size_t indexSize = r.indexBuffer->getNumIndexes();
    const bool growVertices = totalVertices > vertexSize;
    const bool growIndices = totalIndices > indexSize;
    while (vertexSize < totalVertices)
        vertexSize *= 2;
    while (indexSize < totalIndices)
        indexSize *= 2;
    if (growVertices || growIndices)
        createBuffers(static_cast<uint32_t>(vertexSize), static_cast<uint32_t>(indexSize));

    {
        ParticleVertex* vertices = static_cast<ParticleVertex*>(r.vertexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));
        uint16_t* indices = static_cast<uint16_t*>(r.indexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));
        for (const ParticleBatch* batch : r.batches) {
            for (int32_t i = 0; i < batch->vertexCount; ++i) {
                ParticleVertex vertex = batch->vertices[static_cast<size_t>(i)];
                vertex.colour = ToBufferColour(vertex.colour);
                *vertices++ = vertex;
            }
            if (batch->indexCount > 0) {
                std::memcpy(indices, batch->indices.data(), sizeof(uint16_t) * static_cast<size_t>(batch->indexCount));
                indices += batch->indexCount;
            }
        }
        r.indexBuffer->unlock();
        r.vertexBuffer->unlock();
        ++r.stats.bufferLocks;
    }

    setRenderState();
    size_t vertexOffset = 0, indexOffset = 0;
    r.renderable.mOperation = &r.operation;
    for (const ParticleBatch* batch : r.batches) {
        if (batch->vertexCount <= 0)
            continue;
        r.vertexData->vertexStart = vertexOffset;
        r.vertexData->vertexCount = static_cast<size_t>(batch->vertexCount);
        r.operation.useIndexes = batch->indexCount > 0;
        r.indexData->indexStart = indexOffset;
        r.indexData->indexCount = static_cast<size_t>(batch->indexCount);

        const bool textured = static_cast<bool>(batch->texture);
        r.renderable.mMaterial = textured ? r.textured : r.untextured;
        Ogre::Pass* pass = PassOf(r.renderable.mMaterial);
        if (textured)
            pass->getTextureUnitState(0)->setTexture(batch->texture);
        pass->setSceneBlending(static_cast<Ogre::SceneBlendFactor>(batch->sourceBlend),
                               static_cast<Ogre::SceneBlendFactor>(batch->destBlend));
        r.sceneManager->_injectRenderWithPass(pass, &r.renderable, false);
        ++r.stats.drawCalls;

        vertexOffset += static_cast<size_t>(batch->vertexCount);
        indexOffset += static_cast<size_t>(batch->indexCount);
    }
    // No texture stays held by the material between frames.
    if (Ogre::Pass* pass = PassOf(r.textured))
        pass->getTextureUnitState(0)->setBlank();
    DiscardBatches();
}

}  // namespace PRI
