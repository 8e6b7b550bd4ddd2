// TNightStyle: night vision for every window the program opens, dialogs of
// Qt's own included. Installed once as the application's style, it passes
// everything through by day; at night the application takes a palette and
// a style sheet of reds on black (windows made later get them too), file
// dialogs are Qt's own (the desktop's would be white), and every picture a
// widget shows (icons, message-box symbols) is drawn in reds by brightness.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QProxyStyle>

class TNightStyle : public QProxyStyle {
public:
    // Makes the application's style one of these; safe to call again.
    static void Install();
    static void SetNight(bool on);
    static bool Night();

    // A colour (or a picture) as a red as bright as its brightest part: faint
    // things stay faint, and nothing keeps green or blue.
    static QRgb Red(QRgb c);
    static QImage Redden(const QImage& image);
    static QPalette NightPalette();

    void drawItemPixmap(QPainter* painter, const QRect& rect, int alignment,
                        const QPixmap& pixmap) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;

protected:
    // Paints the text fields' caret in red (Qt's own is the inverse of what
    // lies under it: white on black).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TNightStyle(QStyle* base);
    static QIcon RedIcon(const QIcon& icon, QSize size);
};
