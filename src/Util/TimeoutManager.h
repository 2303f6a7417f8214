// Runs a function once after a delay in game time. Screens sequence their
// intros and credits with it; the frame loop advances it before the tweens.
#pragma once

using TimeoutCallback = void (*)(void* data);

struct Timeout {
    float elapsed;
    float duration;
    TimeoutCallback callback;
    void* data;  // handed to the callback, never owned
};

// Start-up: an empty list of timeouts.
void TimeoutManagerInit();

// A timeout cannot be cancelled alone, only all together by ClearTimeouts.
void SetTimeout(float delay, TimeoutCallback callback, void* data);

// Adds dt to every timeout and fires, in the order they were set, those whose
// elapsed time reached their delay. A delay of 0 fires in the next pass.
// A timeout set by a callback is visited in the same pass unless the firing
// timeout was the last one, in which case it waits for the next frame.
// A callback may call ClearTimeouts: the pass then ends.
void UpdateTimeouts(float dt);

// Drops every pending timeout without calling it.
void ClearTimeouts();

// Shutdown: drops the pending timeouts uncalled and frees the list.
void TimeoutManagerShutdown();
