#include "controls/Keyinp.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string Right(const std::string& text, int n) {
    if (n <= 0) return std::string();
    return static_cast<int>(text.size()) <= n ? text : text.substr(text.size() - n);
}

std::string Repeat(int n, const std::string& text) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

std::string LTrim(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : text.substr(i);
}

std::string Trim(const std::string& text) {
    std::string t = LTrim(text);
    std::size_t e = t.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : t.substr(0, e + 1);
}

bool Has(const std::string& text, char c) {
    return text.find(c) != std::string::npos;
}

// The value of the field's text; an empty or unreadable text counts as 0.
double Value(const std::string& text) {
    std::string t = Trim(text);
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    double v = 0.0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() ? v : 0.0;
}

// The picture "#" or "#.00…": rounded to the decimals, no digit before the point when the
// whole part is zero (0.5 gives ".5", 0 with no decimals gives "").
std::string FormatHash(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    double scale = std::pow(10.0, decimals);
    double units = std::round(std::fabs(value) * scale); // halves away from zero
    bool negative = value < 0 && units > 0;
    double whole = std::floor(units / scale);
    double frac = units - whole * scale;
    std::string out = negative ? "-" : "";
    if (whole > 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.0f", whole);
        out += buf;
    }
    if (decimals > 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%0*.0f", decimals, frac);
        out += ".";
        out += buf;
    }
    return out;
}

} // namespace

TKeyInp::TKeyInp(QWidget* parent) : QWidget(parent) {
    setFont(QFont("Arial", 10));
    // The arrow keys and characters come here, Tab still moves the focus on. A click takes
    // the focus in mousePressEvent, after the user's handler has run.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // paintEvent fills every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TKeyInp::SetTx(const std::string& text) {
    text_ = text;
    if (focused_) Init();
}

void TKeyInp::SetColor(TColor& field, TColor c) {
    field = c;
    update();
}

QSize TKeyInp::sizeHint() const {
    QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(QString(std::max(length_, 1), QChar('0'))) + 4, fm.height());
}

void TKeyInp::Init() {
    started_ = !autoSelect_;
    if (decimal_ == 0) {
        wholeCap_ = length_;
        pointCap_ = 0;
    } else {
        wholeCap_ = length_ - decimal_ - 1;
        pointCap_ = decimal_ + 1;
    }
    text_ = Trim(text_);
    if (text_.empty()) {
        I_ = D_ = 0;
    } else {
        std::size_t point = text_.find('.');
        if (point != std::string::npos) {
            I_ = static_cast<int>(point);
            D_ = static_cast<int>(text_.size()) - I_;
        } else {
            I_ = static_cast<int>(text_.size());
            D_ = 0;
        }
        if (text_ == "0") I_ = 0;
    }
    savedText_ = text_;
    savedI_ = I_;
    savedD_ = D_;
}

bool TKeyInp::Fin() {
    if (!focused_) return false;
    if (Has(text_, '+')) text_.erase(0, 1);
    if (decimal_ > 0) {
        if (text_.empty() || text_ == "0")
            text_ = "0.";
        else if (text_ == "-" || text_ == "-0")
            text_ = "-0.";
        else if (!Has(text_, '.'))
            text_ += ".";
    } else {
        if (text_.empty())
            text_ = "0";
        else if (text_ == "-")
            text_ = "-0";
    }
    // Decimals typed so far: the point and each digit after it.
    std::size_t point = text_.find('.');
    int d = point == std::string::npos ? 0 : static_cast<int>(text_.size() - point);
    if (pointCap_ > d) text_ += std::string(pointCap_ - d, '0');
    double value = Value(text_);
    if (value == 0.0 && !zero_) text_.clear();
    if (value < min_)
        text_ = FormatHash(min_, decimal_);
    else if (value > max_)
        text_ = FormatHash(max_, decimal_);
    // An empty text stays empty: padding or a sign would show the zero that Zero hides.
    if (topZero_ && !text_.empty()) {
        std::string zeros = Repeat(length_, "0");
        if (minus_) {
            text_ = Trim(text_);
            if (!Has(text_, '-'))
                text_ = " " + Right(zeros + text_, length_ - 1);
            else
                text_ = "-" + Right(zeros + text_.substr(1), length_ - 1);
        } else {
            text_ = Right(zeros + text_, length_);
        }
    }
    if (minus_ && plus_ && !text_.empty() && !Has(text_, '-')) text_ = "+" + LTrim(text_);
    update();
    return true;
}

void TKeyInp::Finish() {
    if (!focused_) return;
    Fin();
    Init();
}

void TKeyInp::Cancel() {
    if (!focused_) return;
    text_ = savedText_;
    I_ = savedI_;
    D_ = savedD_;
    Fin();
}

void TKeyInp::DoEnter() {
    if (OnEnter) OnEnter(this);
    Init();
    focused_ = true;
    update();
}

void TKeyInp::DoExit() {
    if (OnExit) OnExit(this);
    Fin();
    focused_ = false;
    update();
}

TKeyInp::Edit TKeyInp::Classify(int key, Qt::KeyboardModifiers mods, char& digit) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        digit = static_cast<char>('0' + (key - Qt::Key_0));
        return Edit::Digit;
    }
    switch (key) {
    case Qt::Key_Period:
        return Edit::Point;
    case Qt::Key_Comma: // the number pad's point under some keyboard layouts
        return (mods & Qt::KeypadModifier) ? Edit::Point : Edit::None;
    case Qt::Key_Minus:
        return Edit::Minus;
    case Qt::Key_Backspace:
        return Edit::Back;
    default:
        return Edit::None;
    }
}

void TKeyInp::ApplyKey(Edit edit, char digit) {
    if (edit == Edit::None) return;
    if (!started_) {
        text_.clear();
        I_ = D_ = 0;
        started_ = true;
    }
    if (Has(text_, '+')) {
        text_.erase(0, 1);
        --I_;
        if (text_ == "0") I_ = 0;
    }
    switch (edit) {
    case Edit::Back:
        if (I_ == 0) {
            text_.clear();
        } else if (text_ == "0." || text_ == " 0." || text_ == " ") {
            text_.clear();
            I_ = D_ = 0;
        } else if (text_ == "-0.") {
            text_ = "-";
            I_ = 1;
            D_ = 0;
        } else {
            if (!text_.empty()) text_.pop_back();
            if (D_ >= 1)
                --D_;
            else
                --I_;
            if (text_ == " ") {
                text_.clear();
                I_ = D_ = 0;
            }
        }
        break;
    case Edit::Point:
        if (D_ != 0 || pointCap_ <= 0) break;
        D_ = 1;
        if (I_ > 0) {
            if (text_ == "-") {
                text_ = "-0.";
                I_ = 2;
            } else {
                text_ += ".";
            }
        } else if (minus_) {
            text_ = " 0.";
            I_ = 2;
        } else {
            text_ = "0.";
            I_ = 1;
        }
        break;
    case Edit::Minus:
        if (minus_ && I_ == 0) {
            text_ = "-";
            I_ = 1;
        }
        break;
    case Edit::Digit:
        if (D_ == 0) {
            if (I_ >= wholeCap_) break;
            if (text_ == "-0") {
                text_ = "-";
                I_ = 1;
            }
            if (digit == '0' && I_ == 0) {
                text_ = minus_ ? " 0" : "0";
                break;
            }
            if (minus_ && I_ == 0) {
                text_ = " ";
                I_ = 1;
            }
            ++I_;
            text_ = Right(text_ + digit, I_ + D_);
        } else if (D_ < pointCap_) {
            ++D_;
            text_ += digit;
        }
        break;
    case Edit::None:
        break;
    }
}

bool TKeyInp::event(QEvent* e) {
    // Keys the field uses are not taken by the window's shortcuts first.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        char digit = 0;
        int key = k->key();
        if (Classify(key, k->modifiers(), digit) != Edit::None || key == Qt::Key_Left ||
            key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TKeyInp::keyPressEvent(QKeyEvent* e) {
    int key = e->key();
    Qt::KeyboardModifiers mods = e->modifiers();
    if (OnKeyDown) OnKeyDown(this, key, mods);
    char digit = 0;
    Edit edit = Classify(key, mods, digit);
    ApplyKey(edit, digit);
    update();
    e->accept();
}

void TKeyInp::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
    setFocus(Qt::MouseFocusReason);
}

void TKeyInp::focusInEvent(QFocusEvent*) {
    if (!focused_) DoEnter();
}

void TKeyInp::focusOutEvent(QFocusEvent* e) {
    // Another window coming to the front or a pop-up does not end the edit.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (focused_) DoExit();
}

void TKeyInp::hideEvent(QHideEvent* e) {
    // A window closed with the field focused ends the edit, so that showing it again starts
    // a fresh one from whatever text it is given then.
    if (focused_) DoExit();
    QWidget::hideEvent(e);
}

void TKeyInp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(focused_ ? colInBack_ : colBack_));
    const QString s = QString::fromStdString(text_);
    QFontMetrics fm(font());
    p.setFont(font());
    p.setPen(ToQColor(focused_ ? colInText_ : colText_));
    p.drawText(QPoint(width() - fm.horizontalAdvance(s) - 1, fm.ascent()), s);
}
