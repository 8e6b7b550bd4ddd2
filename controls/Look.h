// The look every window shares: black background, red texts, "Arial".
#pragma once

#include "controls/Ctlbase.h"

class QLabel;
class QWidget;

// Black background and red text for a window; with points > 0 also its
// "Arial" font of that size; with editFields its text inputs alike.
void SetWindowLook(QWidget* w, int points = 0, bool editFields = false);
// A label's text colour.
void SetTextColor(QLabel* label, TColor colour);
