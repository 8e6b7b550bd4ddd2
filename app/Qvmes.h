// TfrmQVMes: the program's one modal message window. One line of text with Yes/No, OK or
// OK/Cancel; the caller shows it with exec() and reads GetResult() afterwards.
#pragma once

#include <QDialog>
#include <QRect>
#include <string>

class QLabel;
class TFrameLabel;

class TfrmQVMes : public QDialog {
public:
    enum { mrYes = 10001, mrNo = 10002, mrOk = 10003, mrCancel = 10004 };

    explicit TfrmQVMes(QWidget* parent = nullptr);

    // Button set 1 Yes/No, 2 OK, 3 OK/Cancel; any other shows the text alone.
    void SetMes(int buttons, const std::string& text);
    // The code of the button pressed since the last SetMes (0 for none); closing by other
    // means leaves it unchanged.
    int GetResult() const { return result_; }
    // Sizes and places the window and its buttons for the current text (done on showing).
    void Arrange();

    QLabel* labMes;
    TFrameLabel* flbYes;
    TFrameLabel* flbNo;
    TFrameLabel* flbOk;
    TFrameLabel* flbCancel;
    // The outer frame along the window's edge and the inner one inside it.
    QRect shpFrame, shpFrame2;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    // Enter answers with the default (Yes, or OK), Escape with No or Cancel
    // (OK when that is the only button).
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Answer(int code);
    TFrameLabel* MakeButton(const char* caption, int code);
    void PlacePair(TFrameLabel* left, TFrameLabel* right, int top);

    int buttons_ = 2;
    std::string text_;
    int result_ = 0;
    QPoint dragOffset_;
};
