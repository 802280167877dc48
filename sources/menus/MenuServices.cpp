#include "MenuServices.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>

#include <CEGUI/Window.h>
#include <CEGUI/widgets/PushButton.h>

#include <cmath>
#include <cstring>
#include <vector>

CMenuHudHooks& MenuHudHooks() {
    static CMenuHudHooks hooks;
    return hooks;
}

CEnvironmentVariable* MenuVariable(const char* section, const char* name) {
    return gSceneMgr.GetEnvironment().GetVariable(section, name, true);
}

int MenuReadInt(const char* section, const char* name) {
    const CEnvironmentVariable* variable = MenuVariable(section, name);
    if (!variable)
        return 0;
    if (variable->GetType() == CEnvironmentVariable::TYPE_INT)
        return variable->GetInt();
    if (variable->GetType() == CEnvironmentVariable::TYPE_FLOAT) {
        // A float no int can hold reads as 0 rather than overflowing.
        const double f = std::trunc(double(variable->GetFloat()));
        return (f >= -2147483648.0 && f <= 2147483647.0) ? int(f) : 0;
    }
    return 0;
}

void MenuWriteInt(const char* section, const char* name, int value) {
    if (CEnvironmentVariable* variable = MenuVariable(section, name))
        variable->SetInt(value);
}

void MenuWriteString(const char* section, const char* name, const char* text) {
    if (CEnvironmentVariable* variable = MenuVariable(section, name))
        variable->SetString(text);
}

void ClearMenuParameters() {
    static const char* const kKept[] = {"SETTINGS", "GAME"};
    CEnvironment& environment = gSceneMgr.GetEnvironment();
    std::vector<CEnvironmentVariable*> gone;
    for (CEnvironmentVariable* v = environment.First(); v; v = environment.Next()) {
        bool keep = false;
        for (const char* section : kKept)
            keep = keep || std::strcmp(v->GetSection(), section) == 0;
        if (!keep)
            gone.push_back(v);
    }
    for (CEnvironmentVariable* v : gone) {
        environment.Remove(v);
        delete v;
    }
}

void StartMenuMusic() {
    HAL_Sound_CSource* music = gSoundMgr.GetMusic();
    if (music && !music->IsPlaying())
        gSoundMgr.PlaySource(music);
}

void SetWindowText(const std::string& window, const std::string& text) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setText(text);
}

void MarkChosenButton(const std::string& window, bool chosen) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w || !dynamic_cast<CEGUI::PushButton*>(w))
        return;
    // Gold for the chosen one, the skin's white otherwise.
    const char* colour = chosen ? "FFFFD24A" : "FFFFFFFF";
    for (const char* property : {"NormalTextColour", "HoverTextColour", "PushedTextColour"})
        if (w->isPropertyPresent(property))
            w->setProperty(property, colour);
}
