// TKeyInp: a one-line numeric input driven by the keyboard alone. Digits, one point, a
// leading minus and Backspace edit it; finishing pads the decimals, applies the range and
// the leading-zero and sign styles. The text stays a text: callers read GetTx.
#pragma once

#include "controls/Ctlbase.h"

#include <QWidget>
#include <string>

class TKeyInp : public QWidget {
public:
    explicit TKeyInp(QWidget* parent = nullptr);

    // The shown text; no formatting, no repaint. While focused the edit restarts from it, so
    // the typing counts always describe the text shown.
    std::string GetTx() const { return text_; }
    void SetTx(const std::string& text);
    TColor GetCB() const { return colBack_; }
    void SetCB(TColor c) { SetColor(colBack_, c); }
    TColor GetCIB() const { return colInBack_; }
    void SetCIB(TColor c) { SetColor(colInBack_, c); }
    TColor GetCIT() const { return colInText_; }
    void SetCIT(TColor c) { SetColor(colInText_, c); }
    // Text colour while not focused.
    TColor GetFontColor() const { return colText_; }
    void SetFontColor(TColor c) { SetColor(colText_, c); }
    // Total characters, sign and point included.
    int GetKeta() const { return length_; }
    void SetKeta(int v) { length_ = v; }
    // Decimals; 0 for whole numbers.
    int GetSho() const { return decimal_; }
    void SetSho(int v) { decimal_ = v; }
    double GetMax() const { return max_; }
    void SetMax(double v) { max_ = v; }
    double GetMin() const { return min_; }
    void SetMin(double v) { min_ = v; }
    // False: a zero value is shown as an empty text.
    bool GetZ() const { return zero_; }
    void SetZ(bool v) { zero_ = v; }
    // Pad with leading zeros to the full length.
    bool GetTZ() const { return topZero_; }
    void SetTZ(bool v) { topZero_ = v; }
    // A minus may be typed; the first position stays reserved for the sign.
    bool GetMn() const { return minus_; }
    void SetMn(bool v) { minus_ = v; }
    // With Minus: a non-negative value is shown with "+".
    bool GetPs() const { return plus_; }
    void SetPs(bool v) { plus_ = v; }
    // The first editing key after entering replaces the whole text.
    bool GetAS() const { return autoSelect_; }
    void SetAS(bool v) { autoSelect_ = v; }

    // While focused: format the text and start a new edit from it.
    void Finish();
    // While focused: back to the text at the start of the edit, formatted.
    void Cancel();
    bool Focused() const { return focused_; }

    // Called by the focus events; public so that windows can drive them directly.
    void DoEnter();
    void DoExit();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TMouseEvent OnMouseDown;
    TKeyEvent OnKeyDown;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    enum class Edit { None, Digit, Point, Minus, Back };
    static Edit Classify(int key, Qt::KeyboardModifiers mods, char& digit);
    void SetColor(TColor& field, TColor c);
    void Init();
    bool Fin();
    void ApplyKey(Edit edit, char digit);

    std::string text_;
    TColor colBack_ = RGBColor(0, 0, 0);
    TColor colInBack_ = RGBColor(128, 0, 0);
    TColor colInText_ = RGBColor(255, 255, 255);
    TColor colText_ = RGBColor(255, 0, 0);
    int length_ = 4;
    int decimal_ = 0;
    double max_ = 9999;
    double min_ = 0;
    bool zero_ = true;
    bool topZero_ = false;
    bool minus_ = false;
    bool plus_ = false;
    bool autoSelect_ = true;

    int wholeCap_ = 0, pointCap_ = 0;
    int I_ = 0, D_ = 0;
    bool started_ = false;
    bool focused_ = false;
    std::string savedText_;
    int savedI_ = 0, savedD_ = 0;
};
