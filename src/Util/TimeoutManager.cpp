#include "Util/TimeoutManager.h"

List<Timeout>* timeouts = nullptr;

// Bumped by every clear, so that a pass can tell that a callback freed the
// timeouts it was about to visit.
static unsigned clearGeneration = 0;

void SetTimeout(float delay, TimeoutCallback callback, void* data) {
    timeouts->pushBack(DEBUG_NEW(Timeout, "SetTimeout", Timeout{0.0f, delay, callback, data}));
}

// Unlinked before the call so that a clear inside the callback cannot free it
// under our feet.
static void fire(List<Timeout>::Node* node) {
    Timeout* timeout = node->data;
    timeouts->removeNode(node);
    timeout->callback(timeout->data);
    delete timeout;
}

void UpdateTimeouts(float dt) {
    unsigned generation = clearGeneration;
    List<Timeout>::Node* node = timeouts->head;
    while (node != nullptr) {
        // Read before firing, so a timeout set by the callback is reached in
        // this pass only when the firing one was not the last.
        List<Timeout>::Node* next = node->next;
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
    while (timeouts->count > 0) delete timeouts->popBack();
    ++clearGeneration;
}

void TimeoutManagerInit() {
    timeouts = new_List<Timeout>();
}

void TimeoutManagerShutdown() {
    ClearTimeouts();
    timeouts->destroy();
    timeouts = nullptr;
}
