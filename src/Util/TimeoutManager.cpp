#include "Util/TimeoutManager.h"

#include "Util/LinkedList.h"

namespace {

// Pending timeouts in the order they were set, between TimeoutManagerInit
// and TimeoutManagerShutdown.
std::unique_ptr<OwningList<Timeout>> timeouts;

// Bumped by every clear, so that a pass can tell that a callback freed the
// timeouts it was about to visit.
unsigned clearGeneration = 0;

// Unlinked before the call so that a clear inside the callback cannot free it
// under our feet.
void fire(OwningList<Timeout>::Node* node) {
    const std::unique_ptr<Timeout> timeout = timeouts->removeNode(node);
    timeout->callback(timeout->data);
}

}  // namespace

void SetTimeout(float delay, TimeoutCallback callback, void* data) {
    timeouts->pushBack(DEBUG_MAKE_UNIQUE(Timeout, "SetTimeout", Timeout{0.0f, delay, callback, data}));
}

void UpdateTimeouts(float dt) {
    unsigned generation = clearGeneration;
    OwningList<Timeout>::Node* node = timeouts->head;
    while (node != nullptr) {
        // Read before firing, so a timeout set by the callback is reached in
        // this pass only when the firing one was not the last.
        OwningList<Timeout>::Node* next = node->next;
        Timeout* timeout = node->data;
        timeout->elapsed += dt;
        if (timeout->elapsed >= timeout->duration) {
            fire(node);
            if (clearGeneration != generation) return;
        }
        node = next;
    }
}

void ClearTimeouts() {
    while (timeouts->count > 0) timeouts->popBack();
    ++clearGeneration;
}

void TimeoutManagerInit() {
    timeouts = DEBUG_MAKE_UNIQUE(OwningList<Timeout>, "TimeoutManagerInit");
}

void TimeoutManagerShutdown() {
    ClearTimeouts();
    timeouts.reset();
}
