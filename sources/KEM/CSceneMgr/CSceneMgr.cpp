#include "CSceneMgr.h"

#include <HalTimer.h>

CSceneMgr gSceneMgr;

CSceneMgrServices& CSceneMgr::Services() {
    static CSceneMgrServices services;
    return services;
}

CSceneMgr::CSceneMgr() : KEMMutex(nullptr) {}

CSceneMgr::~CSceneMgr() = default;

bool CSceneMgr::Start() {
    gTimer.Reset();
    mRunning = 0;
    mPaused = 0;
    return true;
}

void CSceneMgr::Manage() {
    KEMMutexLock lock(*this);
    mRunning = 1;
    const CSceneMgrServices& s = Services();
    if (!mPaused) {
        if (s.physicsStep) s.physicsStep();
        if (s.scenaricUpdate) s.scenaricUpdate();
        if (s.aiRunFrame) s.aiRunFrame();
        if (s.particleFrame) s.particleFrame();
        Ogre::Matrix4 camera;
        if (s.currentCameraMatrix && s.currentCameraMatrix(camera) && s.setSoundListener)
            s.setSoundListener(0, camera);
    }
    if (s.soundUpdate) s.soundUpdate();
    if (s.guiUpdate) s.guiUpdate();
    if (s.renderFrame) s.renderFrame(gTimer.GetDeltaMs());
}

void CSceneMgr::Pause() {
    KEMMutexLock lock(*this);
    mPaused = 1;
    gTimer.SetPause(true);
}

void CSceneMgr::Resume() {
    KEMMutexLock lock(*this);
    mPaused = 0;
    gTimer.SetPause(false);
}

void CSceneMgr::Stop() {
    mRunning = 0;
}
