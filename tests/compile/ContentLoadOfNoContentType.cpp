// Built only by a test that expects the build to fail: only the content
// records load through ContentLoad.
#include "Content/ContentManager.h"

struct NotContent {};

NotContent* loadNotContent() {
    return ContentLoad<NotContent>("Assets/Textures/Fire.png");
}
