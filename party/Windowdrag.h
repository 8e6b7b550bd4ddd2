// TWindowDrag: moves a borderless window while the left button is held on its
// title or frame. The pointer's offsets are taken in screen coordinates so the
// window does not shake as it moves under the pointer.
#pragma once

#include <QCursor>
#include <QPoint>
#include <QWidget>

class TWindowDrag {
public:
    explicit TWindowDrag(QWidget* window) : window_(window) {}

    void Down(Qt::MouseButton button) {
        if (button != Qt::LeftButton) return;
        dragging_ = true;
        start_ = QCursor::pos();
    }
    void Move() {
        if (!dragging_) return;
        const QPoint now = QCursor::pos();
        window_->move(window_->pos() + now - start_);
        start_ = now;
    }
    void Up() { dragging_ = false; }
    bool Dragging() const { return dragging_; }

    // Wires the three mouse events of a title label or frame shape to this.
    template <typename Control> void Attach(Control* c) {
        c->OnMouseDown = [this](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            Down(b);
        };
        c->OnMouseMove = [this](QWidget*, Qt::KeyboardModifiers, int, int) { Move(); };
        c->OnMouseUp = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { Up(); };
    }

private:
    QWidget* window_;
    bool dragging_ = false;
    QPoint start_;
};
