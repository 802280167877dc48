#include "LobbyMatchParams.h"

#include <CEnvironment.h>
#include <CObjnet.h>
#include <Platform.h>

#include <cmath>
#include <cstring>

namespace {
const char kSection[] = "QUICKMATCHPARAMS";
const char kEnvironmentSignature[] = "environment";
}  // namespace

bool ReadLobbyMatchParams(CObjnet& packed, CEnvironment& env) {
    packed.Rewind();
    char name[CEnvironmentVariable::NAME_SIZE + 1] = {0};
    int length = -1;
    if (packed.BeginReadSignature(kEnvironmentSignature) == 0)
        length = packed.ReadStringInto(name, int(sizeof(name)));
    const bool named = !packed.IsFailed() && length == int(std::strlen(kSection)) && std::strcmp(name, kSection) == 0;
    packed.Rewind();
    if (!named) {
        PlatLog("ReadLobbyMatchParams() => section \"%s\" is not the match parameters: refused", name);
        return false;
    }
    const bool whole = env.UnserializeSection(&packed) == 0;
    packed.Rewind();
    if (!whole)
        return false;
    // The match reads every number as an int: a float that is not one (NaN,
    // infinities, beyond the int range) is a lie about the match.
    for (CEnvironmentVariable* v = env.First(); v; v = env.Next()) {
        if (v->GetType() != CEnvironmentVariable::TYPE_FLOAT || std::strcmp(v->GetSection(), kSection) != 0)
            continue;
        const float f = v->GetFloat();
        if (!std::isfinite(f) || std::fabs(f) >= 2147483648.0f) {
            PlatLog("ReadLobbyMatchParams() => \"%s\" is %g, not a number the match can use: refused", v->GetName(),
                    double(f));
            return false;
        }
    }
    return true;
}
