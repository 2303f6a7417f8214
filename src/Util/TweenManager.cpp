#include "Util/TweenManager.h"
#include "Util/TweenManagerInspection.h"

#include <cmath>
#include <cstring>

#include "Util/Color.h"
#include "Util/LinkedList.h"

namespace {

// Running tweens, between TweenManagerInit and TweenManagerShutdown.
std::unique_ptr<OwningList<Tween>> tweens;

}  // namespace

static int componentCount(TweenKind kind) {
    switch (kind) {
        case TWEEN_FLOAT:
            return 1;
        case TWEEN_VEC2:
            return 2;
        case TWEEN_COLOR:
            return 4;
    }
    return 0;
}

// Field by field for a colour, so that its packed word is never touched.
static void readComponents(const void* variable, TweenKind kind, float components[4]) {
    if (kind == TWEEN_COLOR) {
        const Color* colour = static_cast<const Color*>(variable);
        components[0] = colour->opacity;
        components[1] = colour->red;
        components[2] = colour->green;
        components[3] = colour->blue;
        return;
    }
    std::memcpy(components, variable, componentCount(kind) * sizeof(float));
}

static void writeComponents(void* variable, TweenKind kind, const float components[4]) {
    if (kind == TWEEN_COLOR) {
        Color* colour = static_cast<Color*>(variable);
        colour->opacity = components[0];
        colour->red = components[1];
        colour->green = components[2];
        colour->blue = components[3];
        return;
    }
    std::memcpy(variable, components, componentCount(kind) * sizeof(float));
}

void createOriginal(Tween* tween) {
    readComponents(tween->value, tween->kind, tween->start);
}

void applyTween(Tween* tween, float progress) {
    float target[4];
    float current[4];
    readComponents(tween->target, tween->kind, target);
    for (int i = 0; i < componentCount(tween->kind); ++i)
        current[i] = tween->start[i] + (target[i] - tween->start[i]) * progress;
    writeComponents(tween->value, tween->kind, current);
}

static Tween* findTween(const void* value) {
    for (Tween* tween : *tweens)
        if (tween->value == value) return tween;
    return nullptr;
}

Tween* TweenManagerTween(void* value, const void* target, float duration, EasingFunction easing,
                         TweenKind kind, TweenCallback onComplete) {
    if (duration > -0.0001f && duration < 0.001f) FATAL_ERROR("Tween duration cannot be zero.");
    Tween* tween = findTween(value);
    if (tween == nullptr) {
        std::unique_ptr<Tween> started = DEBUG_MAKE_UNIQUE(Tween, "TweenManagerTween");
        tween = started.get();
        tween->kind = kind;
        tween->value = value;
        tweens->pushBack(std::move(started));
    } else if (tween->kind != kind) {
        FATAL_ERROR("Tween already exists with different type.");
    }
    // A restart keeps the tween's place in the list and resets its clock.
    tween->target = target;
    tween->duration = duration;
    tween->elapsed = 0.0f;
    tween->easing = easing;
    tween->onComplete = onComplete;
    createOriginal(tween);
    applyTween(tween, 0.0f);
    return tween;
}

void TweenManagerStop(const void* value) {
    tweens->remove(findTween(value));
}

// Unlinked before onComplete, so that a restart of the same variable from the
// callback makes a fresh tween instead of reviving this one.
static void complete(OwningList<Tween>::Node* node) {
    const std::unique_ptr<Tween> tween = tweens->removeNode(node);
    float target[4];
    readComponents(tween->target, tween->kind, target);
    writeComponents(tween->value, tween->kind, target);
    if (tween->onComplete != nullptr) tween->onComplete();
}

void UpdateTweens(float dt) {
    // Tweens started during this pass are appended after the current tail and
    // wait for the next pass, so they show their start value first.
    OwningList<Tween>::Node* last = tweens->tail;
    OwningList<Tween>::Node* node = tweens->head;
    while (node != nullptr) {
        OwningList<Tween>::Node* next = node == last ? nullptr : node->next;
        Tween* tween = node->data;
        float progress = tween->easing(tween->elapsed / tween->duration);
        tween->elapsed += dt;
        if (tween->elapsed < tween->duration) applyTween(tween, progress);
        else complete(node);
        node = next;
    }
}

void TweenManagerInit() {
    tweens = DEBUG_MAKE_UNIQUE(OwningList<Tween>, "TweenManagerInit");
}

int TweenManagerCount() {
    return tweens->count;
}

void TweenManagerShutdown() {
    tweens.reset();
}

float easeLinear(float t) {
    return t;
}

float easeQuadOut(float t) {
    return -(t - 2.0f) * t;
}

float easeCubicIn(float t) {
    return t * t * t;
}

float easeCubicOut(float t) {
    float u = t - 1.0f;
    return u * u * u + 1.0f;
}

float easeQuartIn(float t) {
    return t * t * t * t;
}

float easeQuartOut(float t) {
    float u = t - 1.0f;
    return 1.0f - u * u * u * u;
}

float easeQuintOut(float t) {
    float u = t - 1.0f;
    return u * u * u * u * u + 1.0f;
}

float easeQuintInOut(float t) {
    if (t < 0.5f) return 16.0f * t * t * t * t * t;
    float u = 2.0f * t - 2.0f;
    return 0.5f * u * u * u * u * u + 1.0f;
}

float easeElasticOut(float t) {
    const float minusThirteenHalfPi = -20.420352248333657f;
    return std::sin(minusThirteenHalfPi * (t + 1.0f)) * std::exp2(-10.0f * t) + 1.0f;
}
