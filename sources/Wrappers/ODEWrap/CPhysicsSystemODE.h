// The ODE library's lifetime and the creation of the one physics world.
#pragma once

class COdeWorld;

class CPhysicsSystemODE {
public:
    // Starts ODE on first use (and checks it is the double-precision build
    // this wrapper converts for), then builds a world. Throws on failure.
    COdeWorld* CreateWorld();
    // Closes ODE; call after the world is deleted. Harmless when ODE was
    // never started or is already closed.
    void Shutdown();

    // Starts ODE without building a world; idempotent. Throws when the
    // library is not the double-precision build.
    static void InitLibrary();
};
