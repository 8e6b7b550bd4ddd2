// TFrameLabel: a framed text that serves as button, title bar and display field.
#pragma once

#include "controls/Ctlbase.h"

#include <QWidget>
#include <string>

class TFrameLabel : public QWidget {
public:
    explicit TFrameLabel(QWidget* parent = nullptr);

    // "@L", "@R", "@U", "@D" draw an arrowhead instead of text.
    std::string GetCap() const { return caption_; }
    void SetCap(const std::string& text);
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment a) { alignment_ = a; }
    // -1 top, 0 middle, 1 bottom.
    int GetAV() const { return alignV_; }
    void SetAV(int v) { alignV_ = v; }
    int GetML() const { return mgnLeft_; }
    void SetML(int v) { mgnLeft_ = v; }
    int GetMR() const { return mgnRight_; }
    void SetMR(int v) { mgnRight_ = v; }
    int GetMT() const { return mgnTop_; }
    void SetMT(int v) { mgnTop_ = v; }
    int GetMB() const { return mgnBottom_; }
    void SetMB(int v) { mgnBottom_ = v; }
    // Size to the text plus the margins whenever the caption or font changes.
    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);

    bool GetLK() const { return lock_; }
    void SetLK(bool v);

    TColor GetCF() const { return colFrame_; }
    void SetCF(TColor c) { SetColor(colFrame_, c); }
    TColor GetCB() const { return colBody_; }
    void SetCB(TColor c) { SetColor(colBody_, c); }
    // The text colour in the normal state.
    TColor GetFontColor() const { return colText_; }
    void SetFontColor(TColor c) { SetColor(colText_, c); }
    TColor GetCFLk() const { return colFrameLk_; }
    void SetCFLk(TColor c) { SetColor(colFrameLk_, c); }
    TColor GetCBLk() const { return colBodyLk_; }
    void SetCBLk(TColor c) { SetColor(colBodyLk_, c); }
    TColor GetCTLk() const { return colTextLk_; }
    void SetCTLk(TColor c) { SetColor(colTextLk_, c); }
    TColor GetCFPs() const { return colFramePs_; }
    void SetCFPs(TColor c) { SetColor(colFramePs_, c); }
    TColor GetCBPs() const { return colBodyPs_; }
    void SetCBPs(TColor c) { SetColor(colBodyPs_, c); }
    TColor GetCTPs() const { return colTextPs_; }
    void SetCTPs(TColor c) { SetColor(colTextPs_, c); }
    bool GetPsE() const { return pushColor_; }
    void SetPsE(bool v) { pushColor_ = v; }
    Qt::BrushStyle GetSYLB() const { return bodyStyle_; }
    void SetSYLB(Qt::BrushStyle s);

    bool Pressed() const { return pressed_; }
    // The colours the next paint uses: frame, body, text.
    void CurrentColors(TColor& frame, TColor& body, TColor& text) const;
    // The text's size in the control's font.
    QSize TextSize() const;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void SetColor(TColor& field, TColor c);
    void FitSize();
    int ArrowCode() const;

    std::string caption_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    int alignV_ = 0;
    int mgnLeft_ = 0, mgnRight_ = 0, mgnTop_ = 0, mgnBottom_ = 0;
    bool autoSize_ = false;
    bool lock_ = false;
    bool pressed_ = false;
    bool pushColor_ = false;
    TColor colFrame_ = RGBColor(255, 255, 255);
    TColor colBody_ = RGBColor(0, 0, 0);
    TColor colText_ = RGBColor(255, 255, 255);
    TColor colFrameLk_ = RGBColor(128, 128, 128);
    TColor colBodyLk_ = RGBColor(0, 0, 0);
    TColor colTextLk_ = RGBColor(128, 128, 128);
    TColor colFramePs_ = RGBColor(255, 0, 0);
    TColor colBodyPs_ = RGBColor(128, 0, 0);
    TColor colTextPs_ = RGBColor(255, 255, 255);
    Qt::BrushStyle bodyStyle_ = Qt::SolidPattern;
};
