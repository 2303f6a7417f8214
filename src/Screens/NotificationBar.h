// The black strip at the bottom of the screen that shows the room's
// interaction prompt ("Open Door", "Pickup Key", ...). It slides in when a
// prompt appears and out when it goes; the play screen draws it over the room.
#pragma once

#include "Util/Vector2.h"

enum NotificationState : int {
    NOTIFICATION_SHOWING = 0,
    NOTIFICATION_SHOWN = 1,
    NOTIFICATION_HIDDEN = 3,
};

// At start-up, after the sound system.
void NotificationBarInit();
// At shutdown.
void NotificationBarShutdown();

// text is not copied: it must live while the bar shows it.
void showNotification(const char* text);
void hideNotification();
// opacity is the drawing screen's own.
void drawNotification(float opacity);

NotificationState NotificationBarState();
