// A scene's graphic environment: the ambient light colour and the shadow
// settings, read from the scene file's "KEM_GRAPHICENV_MGR_VARLIST". The
// ambient colour goes to the 3D engine's scene manager "KEM_SM" once the
// framework has attached the environment (first render window); the shadow
// settings are only kept and saved with the scene.
#pragma once

#include <CKEMVar.h>

#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Ogre {
class SceneManager;
}

class CGraphicEnvMgr : public CKEMVarList {
public:
    CGraphicEnvMgr();
    ~CGraphicEnvMgr() override;

    // Finds the scene manager "KEM_SM" and applies the stored ambient colour.
    void Attach();
    // Forgets the scene manager (the 3D engine is going away).
    void Detach();
    bool IsAttached() const;
    // Only once attached: stores the colour and applies it (alpha 1).
    void SetAmbientLight(const Ogre::Vector3& colour);
    // The stored ambient colour again.
    void Apply();
    // Reads the list from the scene text; true (and applied) when it was there
    // and read.
    bool Load(const char* text);

    const Ogre::Vector3& GetAmbient() const { return mAmbient; }
    uint16_t GetShadowType() const { return mShadowType; }
    int32_t GetShadowTextureSize() const { return mShadowTextureSize; }
    int32_t GetShadowTextureCount() const { return mShadowTextureCount; }
    float GetShadowTextureFar() const { return mShadowTextureFar; }
    const std::string& GetShadowCaster() const { return mShadowCaster; }
    const std::string& GetShadowReceiver() const { return mShadowReceiver; }
    float GetShadowDirLightExtrusion() const { return mShadowDirLightExtrusion; }

private:
    class SceneManagerHandle;

    Ogre::Vector3 mAmbient{0.2f, 0.2f, 0.2f};
    uint16_t mShadowType = 4;
    int32_t mShadowTextureSize = 1024;
    int32_t mShadowTextureCount = 3;
    float mShadowTextureFar = 1000.0f;
    std::string mShadowCaster;
    std::string mShadowReceiver;
    float mShadowDirLightExtrusion = 100.0f;

    CKEMVarVector3 mAmbientVar;
    CKEMVarUnsignedShortInt mShadowTypeVar;
    CKEMVarInt mShadowTextureSizeVar;
    CKEMVarInt mShadowTextureCountVar;
    CKEMVarFloat mShadowTextureFarVar;
    CKEMVarStringRef mShadowCasterVar;
    CKEMVarStringRef mShadowReceiverVar;
    CKEMVarFloat mShadowDirLightExtrusionVar;

    std::unique_ptr<SceneManagerHandle> mSceneManager;
};

// The one graphic environment.
extern CGraphicEnvMgr gGraphicEnvMgr;
