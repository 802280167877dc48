#include "CKEMFrameWork.h"

#include "CGraphicEnvMgr.h"

#include <CDebugSelection.h>
#include <CGraphicElementRegistry.h>
#include <CSceneMgr.h>
#include <CWrapOgreCompositorList.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <Platform.h>

#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreStringConverter.h>

#include <map>
#include <string>

CKEMFrameWork gKEMFrameWork;

namespace {

void RenderFrameService(float frameMs) { gKEMFrameWork.RenderFrame(frameMs); }

}  // namespace

CKEMFrameWork::CKEMFrameWork() = default;

// The global goes at program exit, after the game has called Term: nothing of
// OGRE may be touched then.
CKEMFrameWork::~CKEMFrameWork() = default;

CKEMFrameWorkHooks& CKEMFrameWork::Hooks() {
    static CKEMFrameWorkHooks hooks;
    return hooks;
}

COdeWorld* CKEMFrameWork::Init() {
    mRegistry = new CGraphicElementRegistry(this);
    mDebugSelection = new CDebugSelection();
    mCompositorList = new CWrapOgreCompositorList();
    const CKEMFrameWorkHooks& hooks = Hooks();
    mPhysicsSystem = hooks.createPhysicsSystem ? hooks.createPhysicsSystem() : nullptr;
    mPhysicsWorld = (mPhysicsSystem && hooks.createPhysicsWorld) ? hooks.createPhysicsWorld(mPhysicsSystem) : nullptr;
    mRenderWindowCount = 0;
    // The run state renders its frames through the framework.
    CSceneMgr::Services().renderFrame = &RenderFrameService;
    return mPhysicsWorld;
}

CWrapOgreSystem* CKEMFrameWork::GetGraphicsSystem() const {
    if (!mGraphicsSystem)
        KEM_THROW_SRC("Don't have a graphics system!", "CKEMFrameWork");
    return mGraphicsSystem;
}

void CKEMFrameWork::CreateRenderWindow(uintptr_t windowHandle) {
    char name[32];
    PlatFormat(name, sizeof(name), "Window%d", int(mRenderWindowCount));
    const std::string handleText = Ogre::StringConverter::toString(size_t(windowHandle));

    if (mRenderWindowCount == 0) {
        std::map<std::string, std::string> params;
        params["WindowHandler"] = handleText;
        params["WindowName"] = name;
        mGraphicsSystem = new CWrapOgreSystem(params);   // starts the 3D engine
    } else {
        CWrapOgreCore* core = GetGraphicsSystem()->GetCore();
        if (!core || !core->GetRoot())
            KEM_THROW_SRC("the 3D engine is not running", "CKEMFrameWork");
        // A child of the given window, like the first one.
        Ogre::NameValuePairList params;
        params["parentWindowHandle"] = handleText;
        Ogre::RenderWindow* window = nullptr;
        try {
            window = core->GetRoot()->createRenderWindow(name, 800, 600, false, &params);
        } catch (const Ogre::Exception& e) {
            throw CKEMException(e.getFullDescription(), "CKEMFrameWork", __FILE__, __LINE__);
        }
        core->RefreshRenderTargets();
        core->AddRenderWindow(window);
    }
    ++mRenderWindowCount;

    if (!mGraphicsWorld) {
        CWrapOgreSystem* system = GetGraphicsSystem();
        CWrapOgreCore* core = system->GetCore();
        // A start-up that ended without a window leaves nothing to draw into.
        if (!core || !core->IsStarted())
            KEM_THROW_SRC("the 3D engine did not start", "CKEMFrameWork");
        mGraphicsWorld = system->CreateWorld();
        gGraphicEnvMgr.Attach();
    }
}

void CKEMFrameWork::RegisterFrameListener() {
    CWrapOgreCore* core = GetGraphicsSystem()->GetCore();
    if (!core)
        KEM_THROW_SRC("the 3D engine is not running", "CKEMFrameWork");
    core->AddFrameListener();
}

void CKEMFrameWork::RenderFrame(float frameTime) {
    if (mGraphicsWorld)
        mGraphicsWorld->RenderFrame(frameTime);
}

void CKEMFrameWork::Term() {
    if (CSceneMgr::Services().renderFrame == &RenderFrameService)
        CSceneMgr::Services().renderFrame = nullptr;

    delete mRegistry;
    mRegistry = nullptr;
    delete mDebugSelection;
    mDebugSelection = nullptr;
    if (mCompositorList) {
        mCompositorList->RemoveAll();
        delete mCompositorList;
        mCompositorList = nullptr;
    }
    delete mGraphicsWorld;
    mGraphicsWorld = nullptr;
    gGraphicEnvMgr.Detach();

    CWrapOgreCore* core = mGraphicsSystem ? mGraphicsSystem->GetCore() : nullptr;
    if (mGraphicsSystem)
        mGraphicsSystem->DestroyCore();
    // Nothing may reach the deleted core through the current-core pointer.
    if (core && CWrapOgreWorld::GetCore() == core)
        CWrapOgreWorld::SetCore(nullptr);

    const CKEMFrameWorkHooks& hooks = Hooks();
    if (mPhysicsWorld && hooks.deletePhysicsWorld)
        hooks.deletePhysicsWorld(mPhysicsWorld);
    mPhysicsWorld = nullptr;
    delete mGraphicsSystem;   // destroys its core first, which finds none now
    mGraphicsSystem = nullptr;
    if (mPhysicsSystem && hooks.destroyPhysicsSystem)
        hooks.destroyPhysicsSystem(mPhysicsSystem);
    mPhysicsSystem = nullptr;
    mRenderWindowCount = 0;
}
