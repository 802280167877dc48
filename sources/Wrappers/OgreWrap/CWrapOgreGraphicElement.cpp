#include "CWrapOgreGraphicElement.h"

#include "CWrapOgreNode.h"
#include "makeUniqueName.h"

CWrapOgreGraphicElement::CWrapOgreGraphicElement()
    : m_name(makeUniqueName("graphics"))
{
}

CWrapOgreGraphicElement::~CWrapOgreGraphicElement()
{
    // Deleted while still attached: the node must not delete it again.
    CWrapOgreNode::releaseFromHolder(this);
}
