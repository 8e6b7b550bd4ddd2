#include "controls/Focuscontrol.h"

#include <QKeyEvent>

TFocusControl::TFocusControl(QWidget* parent) : QWidget(parent) {
    // Arrow keys and characters reach a focused Qt widget as they are; Tab
    // still moves the focus on.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TFocusControl::keyPressEvent(QKeyEvent* e) {
    int key = e->key();
    if (OnKeyDown) OnKeyDown(this, key, e->modifiers());
    e->accept();
}

void TFocusControl::keyReleaseEvent(QKeyEvent* e) {
    int key = e->key();
    if (OnKeyUp) OnKeyUp(this, key, e->modifiers());
    e->accept();
}

void TFocusControl::focusInEvent(QFocusEvent*) {
    if (OnEnter) OnEnter(this);
}

void TFocusControl::focusOutEvent(QFocusEvent*) {
    if (OnExit) OnExit(this);
}
