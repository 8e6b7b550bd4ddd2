// TFocusControl: an invisible control that only holds the keyboard focus and
// hands its key and focus events to the owner's handlers.
#pragma once

#include "controls/Ctlbase.h"

#include <QWidget>

class TFocusControl : public QWidget {
public:
    explicit TFocusControl(QWidget* parent = nullptr);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent*) override {}
};
