// The engine's run state: started once, one Manage per frame, paused and
// resumed by game modes and match states, stopped at shutdown.
#pragma once

#include "CEnvironment.h"

#include <KEMMutex.h>
#include <OgreMatrix4.h>

// The services Manage drives. Each stays a no-op until the subsystem that
// provides it installs itself; tests install recorders.
struct CSceneMgrServices {
    void (*physicsStep)() = nullptr;          // physics manager step
    void (*scenaricUpdate)() = nullptr;       // scripted-node manager frame
    void (*aiRunFrame)() = nullptr;           // computer opponent's scheduler
    void (*particleFrame)() = nullptr;        // particle manager frame
    // Fills the current camera node's world matrix; false when there is none.
    bool (*currentCameraMatrix)(Ogre::Matrix4& out) = nullptr;
    void (*setSoundListener)(int index, const Ogre::Matrix4& world) = nullptr;
    void (*soundUpdate)() = nullptr;
    void (*guiUpdate)() = nullptr;
    void (*renderFrame)(float frameMs) = nullptr;   // framework's rendered frame
};

class CSceneMgr : public KEMMutex {
public:
    CSceneMgr();
    ~CSceneMgr() override;

    bool Start();
    void Manage();
    void Pause();
    void Resume();
    void Stop();

    bool IsRunning() const { return mRunning != 0; }
    bool IsPaused() const { return mPaused != 0; }

    // The services table; subsystems set their own entry when they start.
    static CSceneMgrServices& Services();

    // The global settings store ("SETTINGS", "GAME" and the parameter sets
    // menus hand to the match).
    CEnvironment& GetEnvironment() { return mEnvironment; }

private:
    CEnvironment mEnvironment;
    int32_t mRunning = 0;
    unsigned char mPaused = 0;
};

extern CSceneMgr gSceneMgr;
