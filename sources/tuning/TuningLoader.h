// Loading of the tuning files.
//
// Every tuning value is one program-wide variable named as its key (declared
// in TuningParameters.h, PhysicTricksEffects.h, FXTuning.h and
// DefaultContextSound.h). The game reads them before its entry point, so they
// are filled during static initialization, in a fixed order that does not
// depend on the link order:
//  - every variable is constant-initialised to its zero default (no
//    constructor runs on it, so loading can happen before or after any other
//    initialiser without being undone);
//  - TuningEnsureLoaded() loads all four files once, in the order
//    "tavirelo.cfg", "PhysicTricksEffects.cfg", "FX.cfg",
//    "DefaultContextSound.cfg";
//  - each translation unit that includes a tuning header holds a small
//    initialiser (below) that calls TuningEnsureLoaded() before any global
//    that the unit defines after the include (within a unit, the tuning
//    values are ready first); the unit that defines the values calls it as
//    well.
// A file that is missing or cannot be read is logged once (PlatLog) with its
// path; its values keep their zero defaults and the program starts.
#pragma once

#include <string>
#include <vector>

class CConfigFileMap;

// "../../mediaDemo/Config/": relative to the working directory.
extern const char TUNING_DEFAULT_FOLDER[];

enum TuningSet {
    TUNING_TAVIRELO,               // "tavirelo.cfg"
    TUNING_PHYSIC_TRICKS_EFFECTS,  // "PhysicTricksEffects.cfg"
    TUNING_FX,                     // "FX.cfg"
    TUNING_DEFAULT_CONTEXT_SOUND,  // "DefaultContextSound.cfg"
    TUNING_SET_COUNT
};

enum TuningKeyType { TUNING_KEY_BOOL, TUNING_KEY_INT, TUNING_KEY_FLOAT, TUNING_KEY_TEXT };

struct TuningKeyInfo {
    const char* key;
    TuningKeyType type;
};

// Loads every set from TUNING_DEFAULT_FOLDER the first time it is called;
// later calls do nothing.
void TuningEnsureLoaded();

// Sets every tuning value (and derived value) to its default of an empty file,
// then loads the four files from `folder` (ending in "/" or not). Returns the
// number of files that could not be read (each is logged once). For tests and
// tools: the game itself loads once, before its entry point.
int TuningLoadFromFolder(const std::string& folder);

// What the last load did.
const std::string& TuningGetLoadedFolder();
const std::vector<std::string>& TuningGetUnreadableFiles();   // full paths

// The file name of a set ("tavirelo.cfg", ...), its map as last loaded (empty
// when the file could not be read) and the keys that the loader reads from it,
// in reading order.
const char* TuningGetFileName(TuningSet set);
const CConfigFileMap& TuningGetMap(TuningSet set);
const std::vector<TuningKeyInfo>& TuningGetKeys(TuningSet set);

// A unit that must choose when the load runs (StartupValues.cpp) defines
// TUNING_NO_STARTUP_HOOK before including and calls TuningEnsureLoaded itself.
#ifndef TUNING_NO_STARTUP_HOOK
namespace tuning_detail {
struct TuningStartup {
    TuningStartup() { TuningEnsureLoaded(); }
};
// One per including unit; constructed before the unit's later globals.
static const TuningStartup sTuningStartup;
}  // namespace tuning_detail
#endif
