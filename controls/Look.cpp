#include "controls/Look.h"

#include <QLabel>
#include <QWidget>

void SetWindowLook(QWidget* w, int points, bool editFields) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    if (editFields) {
        pal.setColor(QPalette::Base, Qt::black);
        pal.setColor(QPalette::Text, QColor(255, 0, 0));
    }
    w->setPalette(pal);
    if (points > 0) w->setFont(QFont("Arial", points));
}

void SetTextColor(QLabel* label, TColor colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, ToQColor(colour));
    label->setPalette(p);
}
