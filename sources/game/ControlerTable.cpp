#include "ControlerTable.h"

ControlerEntry ControlerTable[CONTROLER_COUNT];
int32_t g_ControlerCurrentIndex[2] = {-1, -1};
int32_t g_OwnControlerType = 0;
uint8_t g_ControlerTableFilled = 0;
ControlerEntry g_DummyControler;

void ResetControlers() {
    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        ControlerTable[i].Clear();
        ControlerTable[i].mIndex = i;
    }
    g_ControlerCurrentIndex[0] = -1;
    g_ControlerCurrentIndex[1] = -1;
    g_OwnControlerType = 0;
    g_ControlerTableFilled = 0;
}

const char* ControlerTypeToString(int32_t type) {
    static const char* const names[] = {
        "e_undefined",
        "e_local1", "e_local2", "e_local3", "e_local4", "e_local5", "e_local6",
        "e_lan1", "e_lan2", "e_lan3", "e_lan4", "e_lan5", "e_lan6",
        "e_ia",
    };
    if (type < 0 || type > e_ia)
        return "??? Unknown";
    return names[type];
}

// Each entry is constructed empty (constant initialisation above),
// then the whole table is reset before the entry point.
namespace {
struct ControlerTableStartup {
    ControlerTableStartup() { ResetControlers(); }
};
ControlerTableStartup sControlerTableStartup;
}  // namespace
