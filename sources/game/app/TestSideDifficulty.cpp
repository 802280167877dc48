#include "TestSideDifficulty.h"

#include <Platform.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct SideDifficulties {
    int level[2] = {-1, -1};
    SideDifficulties() {
        const char* sides = std::getenv("TAVIRELO_TEST_SIDE_DIFFICULTY");
        if (!sides)
            return;
        int a = -1, b = -1;
        char extra = 0;
        if (std::sscanf(sides, "%d,%d%c", &a, &b, &extra) == 2 && a >= 0 && a <= 2 && b >= 0 && b <= 2) {
            level[0] = a;
            level[1] = b;
        } else {
            PlatLog("Test channel: side difficulties \"%s\" are not two of 0, 1, 2: not used", sides);
        }
    }
};

}  // namespace

int TestSideDifficulty(int side) {
    // Read once, at the first question: the channel is set before the game starts.
    static const SideDifficulties sides;
    return side == 0 || side == 1 ? sides.level[side] : -1;
}
