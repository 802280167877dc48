// Binding of GUI buttons to the handlers of a menu object.
#pragma once

#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>

#include <CEGUI/Window.h>

template <class T>
void BindMenuButton(const char* window, const char* textKey, bool (T::*handler)(const CEGUI::EventArgs&), T* object) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w)
        return;
    if (handler)
        w->subscribeEvent(CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(handler, object));
    if (textKey)
        w->setText(GetText(textKey));
}
