// libFuzzer harness for what the LAN lobby reads off the network: the two
// lobby records carried as custom objects and the match parameters section
// of the host's start. The input is one nested object as a peer would send it.
// Invariants: a refused record is left as it was; the start never writes a
// section other than the match parameters, and never changes the user's.
#include <LobbyMatchParams.h>
#include <LobbyPackets.h>

#include <CEnvironment.h>
#include <CObjnet.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16)
        return 0;
    CObjnet object;
    object.SetData(data, int(size));

    CGameInfosPacketV2 settings;
    settings.mLocation = 77;
    if (!settings.Read(object))
        Check(settings.mLocation == 77 && settings.mPlayersPerTeam == -1);

    object.Rewind();
    CTeamInfosPacketV1 team;
    team.mTeamId = 77;
    if (!team.Read(object))
        Check(team.mTeamId == 77 && team.mPointer == -1);

    CEnvironment env;
    env.GetVariable("SETTINGS", "SoundVolume", true)->SetInt(80);
    ReadLobbyMatchParams(object, env);
    Check(env.Find("SETTINGS", "SoundVolume") && env.Find("SETTINGS", "SoundVolume")->GetInt() == 80);
    for (CEnvironmentVariable* v = env.First(); v; v = env.Next())
        Check(std::strcmp(v->GetSection(), "QUICKMATCHPARAMS") == 0 ||
              (std::strcmp(v->GetSection(), "SETTINGS") == 0 && std::strcmp(v->GetName(), "SoundVolume") == 0));
    return 0;
}
