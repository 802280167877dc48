#include "LobbyMatchParams.h"

#include <CEnvironment.h>
#include <CObjnet.h>
#include <Platform.h>

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
    return whole;
}
