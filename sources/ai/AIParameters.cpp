#include "AIParameters.h"

#include <Platform.h>

#include <exception>

const char AI_PARAMETERS_DEFAULT_PATH[] = "../../mediaDemo/Config/AI.cfg";

AIParameters::AIParameters() = default;

AIParameters::AIParameters(const std::string& path) {
    try {
        Load(path);
    } catch (const std::exception& e) {
        // Same policy as the tuning files: the match still starts, with a
        // computer that has no budgets, no noise and rules of weight 0.
        PlatLog("AIParameters::AIParameters(%s) => FAILED (%s), every value is 0", path.c_str(), e.what());
    }
    ReadValues();
}

void AIParameters::ReadValues() {
#define AI_PARAMETER_READ_INT(name) name = GetInt(#name, 0);
#define AI_PARAMETER_READ_FLOAT(name) name = GetFloat(#name, 0.0f);
    AI_PARAMETER_KEYS(AI_PARAMETER_READ_INT, AI_PARAMETER_READ_FLOAT)
#undef AI_PARAMETER_READ_INT
#undef AI_PARAMETER_READ_FLOAT
}

const char* const* AIParameters::KeyNames() {
#define AI_PARAMETER_NAME(name) #name,
    static const char* const names[] = {AI_PARAMETER_KEYS(AI_PARAMETER_NAME, AI_PARAMETER_NAME) nullptr};
#undef AI_PARAMETER_NAME
    return names;
}

int AIParameters::CountKnownKeys() const {
    int count = 0;
    for (const char* const* name = KeyNames(); *name; ++name)
        if (HasKey(*name))
            ++count;
    return count;
}
