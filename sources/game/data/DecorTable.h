// The award objects of the venues (scene objects named "OB_R_..."): hidden at
// every venue set-up; at the end of a finished tournament one of them is
// chosen for a team by its place and the kind of tournament.
#pragma once

#include <string>

class CKEMSceneNode;
class Team;

struct DecorEntry {
    std::string mName;              // the scene object's name
    CKEMSceneNode* mNode = nullptr; // found at the last HideAllDecorObjects; owned by the scene
};

const int DECOR_ENTRY_COUNT = 22;
// Names empty until InitDecorTable.
extern DecorEntry g_DecorTable[DECOR_ENTRY_COUNT];

// Fills the catalogue's 22 names.
void InitDecorTable();
// Looks every entry's object up from the scene root, stores the node (or
// null) and hides the node found.
void HideAllDecorObjects();
// The first entry whose name equals name exactly; null when none.
DecorEntry* FindDecorEntry(const std::string& name);
// The award object name of the team's place in the finished current
// tournament, or the empty text when it gets none (also while no tournament
// is current or it is not finished).
std::string SelectAwardDecor(const Team* team);
