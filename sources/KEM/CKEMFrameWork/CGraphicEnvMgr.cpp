#include "CGraphicEnvMgr.h"

#include <CMarkup.h>
#include <Platform.h>

#include <OgreColourValue.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

CGraphicEnvMgr gGraphicEnvMgr;

// The 3D engine's scene manager "KEM_SM", looked up once. Each use checks that
// the engine still holds it, so that a handle outliving an engine shutdown
// touches nothing.
class CGraphicEnvMgr::SceneManagerHandle {
public:
    SceneManagerHandle() {
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        if (root && root->hasSceneManager("KEM_SM"))
            mSceneManager = root->getSceneManager("KEM_SM");
        else
            PlatLog("CGraphicEnvMgr: no scene manager \"KEM_SM\"; the ambient light is not applied");
    }

    void SetAmbientLight(float r, float g, float b) {
        if (Ogre::SceneManager* sceneManager = Get())
            sceneManager->setAmbientLight(Ogre::ColourValue(r, g, b, 1.0f));
    }

private:
    Ogre::SceneManager* Get() const {
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        if (!mSceneManager || !root || !root->hasSceneManager("KEM_SM") ||
            root->getSceneManager("KEM_SM") != mSceneManager)
            return nullptr;
        return mSceneManager;
    }

    Ogre::SceneManager* mSceneManager = nullptr;
};

CGraphicEnvMgr::CGraphicEnvMgr() {
    RegisterVar(mAmbientVar, "CGRAPHICENV_AMBIANT", &mAmbient);
    RegisterVar(mShadowTypeVar, "CGRAPHICENV_SHADOWTYPE", &mShadowType);
    RegisterVar(mShadowTextureSizeVar, "CGRAPHICENV_SHADOWTEXTSIZE", &mShadowTextureSize);
    RegisterVar(mShadowTextureCountVar, "CGRAPHICENV_SHADOWTEXTCOUNT", &mShadowTextureCount);
    RegisterVar(mShadowTextureFarVar, "CGRAPHICENV_SHADOWTEXTFAR", &mShadowTextureFar);
    RegisterVar(mShadowCasterVar, "CGRAPHICENV_SHADOWCASTER", &mShadowCaster);
    RegisterVar(mShadowReceiverVar, "CGRAPHICENV_SHADOWRECEIVER", &mShadowReceiver);
    RegisterVar(mShadowDirLightExtrusionVar, "CGRAPHICENV_SHADOWDLIGHTEXTRU", &mShadowDirLightExtrusion);
}

CGraphicEnvMgr::~CGraphicEnvMgr() = default;

void CGraphicEnvMgr::Attach() {
    mSceneManager.reset(new SceneManagerHandle());
    Apply();
}

void CGraphicEnvMgr::Detach() { mSceneManager.reset(); }

bool CGraphicEnvMgr::IsAttached() const { return mSceneManager != nullptr; }

void CGraphicEnvMgr::SetAmbientLight(const Ogre::Vector3& colour) {
    if (!mSceneManager)
        return;
    mAmbient = colour;
    mSceneManager->SetAmbientLight(colour.x, colour.y, colour.z);
}

void CGraphicEnvMgr::Apply() {
    if (mSceneManager)
        mSceneManager->SetAmbientLight(mAmbient.x, mAmbient.y, mAmbient.z);
}

bool CGraphicEnvMgr::Load(const char* text) {
    CMarkup markup(text);
    if (!markup.FindElem("ROOT")) {
        PlatLog("CGraphicEnvMgr::Load: no ROOT element");
        return false;
    }
    markup.IntoElem();
    if (!LoadFromXml(markup, "KEM_GRAPHICENV_MGR_VARLIST")) {
        PlatLog("CGraphicEnvMgr::Load: no readable KEM_GRAPHICENV_MGR_VARLIST");
        return false;
    }
    Apply();
    return true;
}
