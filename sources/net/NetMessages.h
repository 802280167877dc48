// The LAN message kinds: every message is one CObjnet whose type id is the
// CRC-32 of a signature text shaped like a CNetClient method. The texts are
// the protocol's identity and must stay byte for byte as they are (parameter
// lists included, even where the fields sent differ from the names).
#pragma once

#include <cstdint>

// CRC-32 (reflected 0xEDB88320, initial value and final XOR 0xFFFFFFFF) at
// compile time, so that the dispatcher can switch on the type ids and two
// kinds with the same id would not compile.
constexpr uint32_t NetSignatureId(const char* text) {
    uint32_t crc = 0xFFFFFFFFu;
    for (; *text; ++text) {
        crc ^= static_cast<uint8_t>(*text);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// ---- signatures ----------------------------------------------------------------
#define NETSIG_R_QUERY_GAMELIST "CNetClient::r_query_gamelist()"
#define NETSIG_A_QUERY_GAMELIST "CNetClient::a_query_gamelist(object gamedesc)"
#define NETSIG_R_QUERY_LOGIN "CNetClient::r_query_login(string name_in)"
#define NETSIG_A_QUERY_LOGIN "CNetClient::a_query_login(int index, object gamedesc,object client[])"
#define NETSIG_A_NEW_PLAYER "CNetClient::a_new_player(int index, object client)"
#define NETSIG_A_LEAVE_PLAYER "CNetClient::a_leave_player(int index)"
#define NETSIG_E_KEEPALIVE "CNetClient::e_keepalive()"
#define NETSIG_E_CHAT_MESSAGE "CNetClient::e_chat_message(int idsender,string message)"
#define NETSIG_E_CUSTOM_OBJECT "CNetClient::e_custom_object(int sender,object customobj)"
#define NETSIG_E_UPDATE_PLAYER "CNetClient::e_update_player(int index, object client)"
#define NETSIG_E_HOST_START_GAME "CNetClient::e_host_start_game(object gameparams)"
#define NETSIG_E_NEXT_STEP_SIGNAL_HOST "CNetClient::e_next_step_signal_host()"
#define NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS "CNetClient::e_next_step_signal_clients()"
#define NETSIG_E_SHOOT_PARAMS                                                                     \
    "CNetClient::e_shoot_params(int controler_type, mPresetShootingAngle,mPresetUnbalance,"      \
    "mPresetBalanceGoAndBack,mPresetPower,mPresetUnbalance)"
#define NETSIG_E_SHOOT_OPTIONS2                                                                   \
    "CNetClient::e_shoot_options2(float angle,float anglemin,float anglemax,int playeridx, "     \
    "int playerpos,int balleffect)"
#define NETSIG_E_LAUNCHSET "CNetClient::e_launchset()"
#define NETSIG_E_BALLS_POSITIONS "CNetClient::e_balls_positions(vector3* balls)"

// The two records carried as nested objects.
#define NETSIG_CNETCLIENT_RECORD "CNetClient::CNetClient()"
#define NETSIG_CNETGAMEDESC_RECORD "CNetGameDesc::CNetGameDesc()"

// ---- type ids --------------------------------------------------------------------
constexpr uint32_t OBJECT_CNETCLIENT_R_QUERY_GAMELIST = NetSignatureId(NETSIG_R_QUERY_GAMELIST);
constexpr uint32_t OBJECT_CNETCLIENT_A_QUERY_GAMELIST = NetSignatureId(NETSIG_A_QUERY_GAMELIST);
constexpr uint32_t OBJECT_CNETCLIENT_R_QUERY_LOGIN = NetSignatureId(NETSIG_R_QUERY_LOGIN);
constexpr uint32_t OBJECT_CNETCLIENT_A_QUERY_LOGIN = NetSignatureId(NETSIG_A_QUERY_LOGIN);
constexpr uint32_t OBJECT_CNETCLIENT_A_NEW_PLAYER = NetSignatureId(NETSIG_A_NEW_PLAYER);
constexpr uint32_t OBJECT_CNETCLIENT_A_LEAVE_PLAYER = NetSignatureId(NETSIG_A_LEAVE_PLAYER);
constexpr uint32_t OBJECT_CNETCLIENT_E_KEEPALIVE = NetSignatureId(NETSIG_E_KEEPALIVE);
constexpr uint32_t OBJECT_CNETCLIENT_E_CHATMESSAGE = NetSignatureId(NETSIG_E_CHAT_MESSAGE);
constexpr uint32_t OBJECT_CNETCLIENT_E_CUSTOM_OBJECT = NetSignatureId(NETSIG_E_CUSTOM_OBJECT);
constexpr uint32_t OBJECT_CNETCLIENT_E_UPDATE_PLAYER = NetSignatureId(NETSIG_E_UPDATE_PLAYER);
constexpr uint32_t OBJECT_E_HOST_START_GAME = NetSignatureId(NETSIG_E_HOST_START_GAME);
constexpr uint32_t OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_HOST = NetSignatureId(NETSIG_E_NEXT_STEP_SIGNAL_HOST);
constexpr uint32_t OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_CLIENTS = NetSignatureId(NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS);
constexpr uint32_t OBJECT_CNETCLIENT_E_SHOOT_PARAMS = NetSignatureId(NETSIG_E_SHOOT_PARAMS);
constexpr uint32_t OBJECT_CNETCLIENT_E_SHOOT_OPTIONS = NetSignatureId(NETSIG_E_SHOOT_OPTIONS2);
constexpr uint32_t OBJECT_CNETCLIENT_E_LAUNCHSET = NetSignatureId(NETSIG_E_LAUNCHSET);
constexpr uint32_t OBJECT_CNETCLIENT_E_BALLS_POSITIONS = NetSignatureId(NETSIG_E_BALLS_POSITIONS);
constexpr uint32_t OBJECT_CNETCLIENT_RECORD = NetSignatureId(NETSIG_CNETCLIENT_RECORD);
constexpr uint32_t OBJECT_CNETGAMEDESC_RECORD = NetSignatureId(NETSIG_CNETGAMEDESC_RECORD);

// True for the kinds a TCP peer of this game sends.
constexpr bool NetIsKnownKind(uint32_t id) {
    return id == OBJECT_CNETCLIENT_R_QUERY_LOGIN || id == OBJECT_CNETCLIENT_A_QUERY_LOGIN ||
           id == OBJECT_CNETCLIENT_A_NEW_PLAYER || id == OBJECT_CNETCLIENT_A_LEAVE_PLAYER ||
           id == OBJECT_CNETCLIENT_E_KEEPALIVE || id == OBJECT_CNETCLIENT_E_CHATMESSAGE ||
           id == OBJECT_CNETCLIENT_E_CUSTOM_OBJECT || id == OBJECT_CNETCLIENT_E_UPDATE_PLAYER ||
           id == OBJECT_E_HOST_START_GAME || id == OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_HOST ||
           id == OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_CLIENTS || id == OBJECT_CNETCLIENT_E_SHOOT_PARAMS ||
           id == OBJECT_CNETCLIENT_E_SHOOT_OPTIONS || id == OBJECT_CNETCLIENT_E_LAUNCHSET ||
           id == OBJECT_CNETCLIENT_E_BALLS_POSITIONS;
}

// ---- decoded throw messages -----------------------------------------------------
// The fields after the sender and controller fields, in wire order. The net
// layer reads them; the game core stores them in its controller entries.

// "e_shoot_params": the launch set's presets as LaunchSet::Serialize writes them.
struct NetShootParams {
    float presetShootingAngle = 0.0f;
    float presetUnbalance = 0.0f;
    uint32_t presetBalanceGoAndBack = 0;
    float presetPower = 0.0f;
    float power = 0.0f;
    float speed = 0.0f;
    float shootingAngle = 0.0f;
    float balance = 0.0f;
};

// "e_shoot_options2": ten 32-bit values.
struct NetShootOptions {
    float angle = 0.0f;          // aiming guide's launch angle
    uint32_t playerIndex = 0;    // current-player index of the side's team
    uint32_t throwMode = 0;      // 1 pointing, 0 shooting
    uint32_t ballEffect = 0;     // current ball's spin
    float aimX = 0.0f, aimY = 0.0f, aimZ = 0.0f;
    int32_t fatigue = 0;
    int32_t stress = 0;
    uint32_t ballsLeft = 0;
};

// "e_launchset()": launch angle, direction x, y, z, effect, initial speed.
struct NetLaunchSet {
    float values[6] = {0, 0, 0, 0, 0, 0};
};
