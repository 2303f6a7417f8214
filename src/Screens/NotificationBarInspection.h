// What the notification bar shows, for the tests to read; the game never
// includes it.
#pragma once

#include "Screens/NotificationBar.h"

const char* NotificationBarText();
Vector2 NotificationBarPosition();
float NotificationBarOpacity();
