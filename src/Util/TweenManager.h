// Animates a variable from its current value to a target over a time,
// shaped by an easing function: menu highlights, fades, the notification bar.
// The frame loop advances the tweens right after the timeouts.
#pragma once

enum TweenKind {
    TWEEN_FLOAT = 0,
    TWEEN_VEC2 = 1,   // two floats, x then y
    TWEEN_COLOR = 2,  // a Color's four floats; its packed word is left alone
};

// Maps progress in [0, 1] to shaped progress.
using EasingFunction = float (*)(float);
using TweenCallback = void (*)();

struct Tween {
    TweenKind kind;
    const void* target;  // read every frame, so it must outlive the tween
    void* value;         // the animated variable; at most one tween per variable
    float start[4];      // the variable's value when the tween (re)started
    float duration;
    float elapsed;
    EasingFunction easing;
    TweenCallback onComplete;  // may be null
};

// Start-up: no tween running.
void TweenManagerInit();

// Starts a tween on value, or restarts the one already running on it in place
// from the variable's current value. The variable keeps its value until the
// next pass. A near-zero duration or a running tween of another kind is fatal.
Tween* TweenManagerTween(void* value, const void* target, float duration, EasingFunction easing,
                         TweenKind kind, TweenCallback onComplete);

// Drops the tween running on value, if any, leaving the variable as it is
// and without calling onComplete: for variables that die before their tween.
void TweenManagerStop(const void* value);
// Copies the variable's current value into the tween's start value.
void createOriginal(Tween* tween);

// Sets the variable to start + (target - start) * progress.
void applyTween(Tween* tween, float progress);

// The value shown lags the clock by one frame: the first pass after a start
// shows the start value, the pass in which the duration is reached shows the
// target and calls onComplete. onComplete may start tweens, also on its own
// variable; tweens started during a pass first move in the next one.
void UpdateTweens(float dt);

// Shutdown: frees every tween without calling onComplete, then the list.
void TweenManagerShutdown();

float easeLinear(float t);
float easeQuadOut(float t);
float easeCubicIn(float t);
float easeCubicOut(float t);
float easeQuartIn(float t);
float easeQuartOut(float t);
float easeQuintOut(float t);
float easeQuintInOut(float t);
// Overshoots 1 before settling.
float easeElasticOut(float t);
