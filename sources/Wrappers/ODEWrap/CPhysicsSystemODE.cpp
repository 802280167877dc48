#include "CPhysicsSystemODE.h"

#include "COdeWorld.h"
#include "KEMException.h"
#include "OdeConvert.h"
#include "Platform.h"

#include <ode/ode.h>

namespace {
bool g_odeStarted = false;
}

void CPhysicsSystemODE::InitLibrary()
{
    if (g_odeStarted)
        return;
    // dReal is checked at compile time (OdeConvert.h); this checks the
    // library we are linked against was built the same way.
    if (!dCheckConfiguration("ODE_double_precision")) {
        PlatLog("[ODEWrap] ODE library is not the double-precision build: %s", dGetConfiguration());
        KEM_THROW("ODE is not built in double precision!");
    }
    if (!dInitODE2(0))
        KEM_THROW("Failed to initialise ODE!");
    // Triangle-mesh collision needs ODE's per-thread collision data.
    if (!dAllocateODEDataForThread(dAllocateMaskAll)) {
        dCloseODE();
        KEM_THROW("Failed to initialise ODE!");
    }
    g_odeStarted = true;
}

COdeWorld* CPhysicsSystemODE::CreateWorld()
{
    InitLibrary();
    return new COdeWorld();
}

void CPhysicsSystemODE::Shutdown()
{
    if (!g_odeStarted)
        return;
    dCloseODE();
    g_odeStarted = false;
}
