// The colours of a player's skill bars, one set wherever a player's skills
// are shown: the match's player panel draws balance white, mental blue and
// stamina green, and the choose-actor screen draws the same.
#pragma once

#include <OgreColourValue.h>

namespace skillbar {

const Ogre::ColourValue kBalance(1.0f, 1.0f, 1.0f, 1.0f);
const Ogre::ColourValue kMental(0.0f, 0.01f, 1.0f, 1.0f);
const Ogre::ColourValue kPhysique(0.01f, 1.0f, 0.01f, 1.0f);
// Spin has no bar in the match: a colour of its own, apart from the others.
const Ogre::ColourValue kSpin(1.0f, 0.72f, 0.0f, 1.0f);
// The part of a bar the skill does not fill.
const Ogre::ColourValue kEmpty(0.22f, 0.22f, 0.26f, 1.0f);

}  // namespace skillbar
