// Common base of the OGRE wrappers: each wrapper owns one OGRE object and has
// its own unique name (distinct from the OGRE object's name).
#pragma once

#include <string>

class CWrapOgreNode;

class CWrapOgreGraphicElement {
public:
    CWrapOgreGraphicElement();
    virtual ~CWrapOgreGraphicElement();

    CWrapOgreGraphicElement(const CWrapOgreGraphicElement&) = delete;
    CWrapOgreGraphicElement& operator=(const CWrapOgreGraphicElement&) = delete;

    std::string getName() const { return m_name; }
    // The scene graph names a node's wrapper after the scene node; the OGRE
    // object keeps its own name.
    void setName(const std::string& name) { m_name = name; }

private:
    friend class CWrapOgreNode;

    std::string m_name;
    // The wrapper node whose list holds (and will delete) this element.
    CWrapOgreNode* m_holder = nullptr;
};
