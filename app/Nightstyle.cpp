#include "app/Nightstyle.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include "controls/Ctlbase.h"
#include <algorithm>

namespace {

bool night = false;
QPalette dayPalette;
bool dayNativeDialogs = true;

// What the palette cannot reach: tooltips, and views that draw with their
// own colours.
const char* const kNightSheet =
    "QToolTip { background: black; color: rgb(255,0,0); border: 1px solid rgb(128,0,0); }"
    "QAbstractItemView { background: black; color: rgb(255,0,0); "
    "selection-background-color: rgb(128,0,0); selection-color: black; }"
    "QHeaderView::section { background: black; color: rgb(255,0,0); "
    "border: 1px solid rgb(64,0,0); }";

} // namespace

TNightStyle::TNightStyle(QStyle* base) : QProxyStyle(base) {}

void TNightStyle::Install() {
    if (dynamic_cast<TNightStyle*>(QApplication::style())) return;
    dayPalette = QApplication::palette();
    dayNativeDialogs = !QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs);
    // A proxy of the style Qt chose (the application owns and deletes it).
    auto* style = new TNightStyle(QStyleFactory::create(QApplication::style()->name()));
    QApplication::setStyle(style);
    qApp->installEventFilter(style);
}

bool TNightStyle::Night() {
    return night;
}

void TNightStyle::SetNight(bool on) {
    Install();
    if (on == night) return;
    night = on;
    NightColours() = on;
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, on || !dayNativeDialogs);
    QApplication::setPalette(on ? NightPalette() : dayPalette);
    qApp->setStyleSheet(on ? kNightSheet : "");
    // Pictures drawn by the style come out anew.
    for (QWidget* w : QApplication::allWidgets())
        w->update();
}

QRgb TNightStyle::Red(QRgb c) {
    return qRgba(std::max({qRed(c), qGreen(c), qBlue(c)}), 0, 0, qAlpha(c));
}

QImage TNightStyle::Redden(const QImage& image) {
    QImage out = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                               : QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = Red(row[x]);
    }
    return out;
}

QPalette TNightStyle::NightPalette() {
    const QColor red(255, 0, 0), dim(128, 0, 0), faint(96, 0, 0), black(0, 0, 0);
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, black);
        p.setColor(group, QPalette::Base, black);
        p.setColor(group, QPalette::AlternateBase, QColor(24, 0, 0));
        p.setColor(group, QPalette::ToolTipBase, black);
        p.setColor(group, QPalette::Button, QColor(40, 0, 0));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::ToolTipText, QPalette::BrightText, QPalette::Link})
            p.setColor(group, role, off ? faint : red);
        p.setColor(group, QPalette::LinkVisited, dim);
        p.setColor(group, QPalette::PlaceholderText, faint);
        p.setColor(group, QPalette::Highlight, dim);
        p.setColor(group, QPalette::HighlightedText, black);
        p.setColor(group, QPalette::Light, QColor(96, 0, 0));
        p.setColor(group, QPalette::Midlight, QColor(72, 0, 0));
        p.setColor(group, QPalette::Mid, QColor(48, 0, 0));
        p.setColor(group, QPalette::Dark, QColor(32, 0, 0));
        p.setColor(group, QPalette::Shadow, black);
    }
    return p;
}

QIcon TNightStyle::RedIcon(const QIcon& icon, QSize size) {
    if (icon.isNull() || !size.isValid()) return icon;
    QIcon out;
    for (auto mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
        for (auto state : {QIcon::Off, QIcon::On}) {
            const QPixmap pm = icon.pixmap(size, qApp->devicePixelRatio(), mode, state);
            if (pm.isNull()) continue;
            QPixmap red = QPixmap::fromImage(Redden(pm.toImage()));
            red.setDevicePixelRatio(pm.devicePixelRatio());
            out.addPixmap(red, mode, state);
        }
    return out;
}

void TNightStyle::drawItemPixmap(QPainter* painter, const QRect& rect, int alignment,
                                 const QPixmap& pixmap) const {
    if (!night || pixmap.isNull()) return QProxyStyle::drawItemPixmap(painter, rect, alignment, pixmap);
    QPixmap red = QPixmap::fromImage(Redden(pixmap.toImage()));
    red.setDevicePixelRatio(pixmap.devicePixelRatio());
    QProxyStyle::drawItemPixmap(painter, rect, alignment, red);
}

// The icons an option carries are reddened before the base style draws them.
void TNightStyle::drawControl(ControlElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    // Grips the base style draws in light greys whatever the palette says.
    if (night && (element == CE_Splitter || element == CE_SizeGrip)) {
        const QRect r = option->rect;
        painter->save();
        painter->setPen(QColor(128, 0, 0));
        if (element == CE_SizeGrip) {
            for (int k = 3; k <= 11; k += 4)
                painter->drawLine(r.right() - k, r.bottom(), r.right(), r.bottom() - k);
        } else {
            const QPoint c = r.center();
            const bool across = option->state & State_Horizontal;
            for (int k = -6; k <= 6; k += 3)
                painter->drawPoint(across ? c + QPoint(0, k) : c + QPoint(k, 0));
        }
        painter->restore();
        return;
    }
    if (night) {
        if (const auto* o = qstyleoption_cast<const QStyleOptionViewItem*>(option)) {
            QStyleOptionViewItem red(*o);
            red.icon = RedIcon(o->icon, o->decorationSize);
            return QProxyStyle::drawControl(element, &red, painter, widget);
        }
        if (const auto* o = qstyleoption_cast<const QStyleOptionToolButton*>(option)) {
            QStyleOptionToolButton red(*o);
            red.icon = RedIcon(o->icon, o->iconSize);
            return QProxyStyle::drawControl(element, &red, painter, widget);
        }
        if (const auto* o = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton red(*o);
            red.icon = RedIcon(o->icon, o->iconSize);
            return QProxyStyle::drawControl(element, &red, painter, widget);
        }
        if (const auto* o = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            QStyleOptionComboBox red(*o);
            red.currentIcon = RedIcon(o->currentIcon, o->iconSize);
            return QProxyStyle::drawControl(element, &red, painter, widget);
        }
        if (const auto* o = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QStyleOptionMenuItem red(*o);
            const int side = pixelMetric(PM_SmallIconSize, option, widget);
            red.icon = RedIcon(o->icon, QSize(side, side));
            return QProxyStyle::drawControl(element, &red, painter, widget);
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TNightStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (night) {
        if (const auto* o = qstyleoption_cast<const QStyleOptionToolButton*>(option)) {
            QStyleOptionToolButton red(*o);
            red.icon = RedIcon(o->icon, o->iconSize);
            return QProxyStyle::drawComplexControl(control, &red, painter, widget);
        }
        if (const auto* o = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            QStyleOptionComboBox red(*o);
            red.currentIcon = RedIcon(o->currentIcon, o->iconSize);
            return QProxyStyle::drawComplexControl(control, &red, painter, widget);
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

// Qt asks for the caret's width without saying for which widget; at night
// every text field's caret is painted by eventFilter instead.
int TNightStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    if (night && metric == PM_TextCursorWidth) return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

bool TNightStyle::eventFilter(QObject* watched, QEvent* event) {
    if (!night || event->type() != QEvent::Paint) return QProxyStyle::eventFilter(watched, event);
    auto* canvas = qobject_cast<QWidget*>(watched);
    QRect at;
    QColor ink;
    if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
        if (!edit->hasFocus() || edit->isReadOnly()) return false;
        at = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        ink = edit->palette().color(QPalette::Text);
    } else if (auto* plain = canvas ? qobject_cast<QPlainTextEdit*>(canvas->parentWidget()) : nullptr;
               plain && plain->viewport() == canvas) {
        if (!plain->hasFocus() || plain->isReadOnly()) return false;
        at = plain->cursorRect();
        ink = plain->palette().color(QPalette::Text);
    } else if (auto* rich = canvas ? qobject_cast<QTextEdit*>(canvas->parentWidget()) : nullptr;
               rich && rich->viewport() == canvas) {
        if (!rich->hasFocus() || rich->isReadOnly()) return false;
        at = rich->cursorRect();
        ink = rich->palette().color(QPalette::Text);
    } else {
        return false;
    }
    // The field paints itself first, then the caret goes over it.
    static_cast<QObject*>(canvas)->event(event);
    QPainter p(canvas);
    p.fillRect(QRect(at.x(), at.y(), 1, at.height()), ink);
    return true;
}
