// The compositors the engine registered with OGRE, by index, so that they can
// all be removed from OGRE's compositor manager at shutdown.
#pragma once

#include <map>
#include <string>

class CWrapOgreCompositorList {
public:
    CWrapOgreCompositorList() = default;

    // Appends at index count.
    void Add(const std::string& compositorName);
    int GetCount() const { return static_cast<int>(m_names.size()); }
    // Removes every listed compositor that OGRE still has, then empties the list.
    void RemoveAll();

private:
    std::map<int, std::string> m_names;
};
