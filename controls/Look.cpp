#include "controls/Look.h"

#include <QLabel>
#include <QRect>
#include <QWidget>

#include "controls/Framelabel.h"

void SetWindowLook(QWidget* w, int points, bool editFields) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    if (editFields) {
        pal.setColor(QPalette::Base, Qt::black);
        pal.setColor(QPalette::Text, QColor(255, 0, 0));
        // Selected text in the same look, not the desktop's light blue.
        pal.setColor(QPalette::Highlight, QColor(255, 0, 0));
        pal.setColor(QPalette::HighlightedText, Qt::black);
    }
    w->setPalette(pal);
    if (points > 0) w->setFont(QFont("Arial", points));
}

void SetTextColor(QLabel* label, TColor colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, ToQColor(colour));
    label->setPalette(p);
}

TFrameLabel* RedButton(QWidget* parent, const std::string& caption, const QRect& geometry,
                       int points) {
    constexpr TColor kRed = RGBColor(255, 0, 0);
    auto* f = new TFrameLabel(parent);
    f->setGeometry(geometry);
    f->SetAlignment(Qt::AlignHCenter);
    f->SetCF(kRed);
    f->SetFontColor(kRed);
    f->setFont(QFont("Arial", points));
    f->SetCap(caption);
    return f;
}
