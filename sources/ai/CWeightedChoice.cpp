#include "CWeightedChoice.h"

#include <Platform.h>

float WeightedChoiceNoise(float amplitude, int32_t samples) {
    float sum = 0.0f;
    if (amplitude > 0.0f && samples > 0) {
        for (int32_t i = 0; i < samples; ++i)
            sum = static_cast<float>(sum + KemRand() / 32767.0 * amplitude);
    }
    if (samples > 0)
        sum = sum / static_cast<float>(samples);
    return sum;
}

float WeightedChoiceTruncate(float score) {
    // The range test is false for NaN as well.
    if (!(score > -2147483649.0f && score < 2147483648.0f))
        return static_cast<float>(INT_MIN);
    return static_cast<float>(static_cast<int32_t>(score));
}
