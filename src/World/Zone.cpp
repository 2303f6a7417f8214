#include "World/Zone.h"

void Zone::testOverlap() {
    inside = touchesCharacter(room, x, y, width, height);
}
