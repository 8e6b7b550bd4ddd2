// The look every window shares: black background, red texts, "Arial".
#pragma once

#include <string>

#include "controls/Ctlbase.h"

class QLabel;
class QRect;
class QWidget;
class TFrameLabel;

// Captions: red when on, chosen or available; dark red when off, unchosen or
// unavailable, so that every caption reads on black and the two states
// stay apart.
constexpr TColor kCaptionOn = RGBColor(255, 0, 0);
constexpr TColor kCaptionOff = RGBColor(128, 0, 0);
// The memory digits over their slots' dark reds (128 in use, 64 empty): a
// pale red; a slot just stored is black on red until the next redraw.
constexpr TColor kMemoryDigit = RGBColor(255, 176, 176);

// Black background and red text for a window; with points > 0 also its
// "Arial" font of that size; with editFields its text inputs alike.
void SetWindowLook(QWidget* w, int points = 0, bool editFields = false);
// A label's text colour.
void SetTextColor(QLabel* label, TColor colour);
// A button of the windows' look: a framed label, its frame and caption red
// and centred, in "Arial" of `points`, at `geometry` in `parent`.
TFrameLabel* RedButton(QWidget* parent, const std::string& caption, const QRect& geometry,
                       int points);
