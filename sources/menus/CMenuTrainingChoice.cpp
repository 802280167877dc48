#include "CMenuTrainingChoice.h"

#include "CMenuGameMode.h"

CMenuTrainingChoice* CMenuTrainingChoice::Of(CMenuGameMode* flow) { return dynamic_cast<CMenuTrainingChoice*>(flow); }
