#include "app/Qvmes.h"

#include "controls/Framelabel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 20;
constexpr int kLabelTop = 8;

} // namespace

TfrmQVMes::TfrmQVMes(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    setWindowTitle("Message");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    labMes = new QLabel(this);
    labMes->setFont(QFont("Arial", 10));
    QPalette lp = labMes->palette();
    lp.setColor(QPalette::WindowText, QColor(255, 0, 0));
    labMes->setPalette(lp);

    flbYes = MakeButton("Yes", mrYes);
    flbNo = MakeButton("No", mrNo);
    flbOk = MakeButton("OK", mrOk);
    flbCancel = MakeButton("Cancel", mrCancel);
}

TFrameLabel* TfrmQVMes::MakeButton(const char* caption, int code) {
    auto* b = new TFrameLabel(this);
    b->setFont(QFont("Arial", 9));
    b->SetCap(caption);
    b->SetAlignment(Qt::AlignHCenter);
    b->SetAV(0);
    b->SetCF(RGBColor(255, 0, 0));
    b->SetFontColor(RGBColor(255, 0, 0));
    b->SetPsE(true);
    b->resize(kButtonWidth, kButtonHeight);
    b->hide();
    b->OnMouseDown = [this, code](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        Answer(code);
    };
    return b;
}

void TfrmQVMes::SetMes(int buttons, const std::string& text) {
    buttons_ = buttons;
    text_ = text;
    // A new question starts unanswered: closing it without a button must not
    // hand back the answer to the one before.
    result_ = 0;
}

void TfrmQVMes::PlacePair(TFrameLabel* left, TFrameLabel* right, int top) {
    // Either side of the middle, 10 pixels from it.
    left->move(width() / 2 - left->width() - 10, top);
    right->move(width() / 2 + 10, top);
    left->show();
    right->show();
}

void TfrmQVMes::Arrange() {
    for (TFrameLabel* b : {flbYes, flbNo, flbOk, flbCancel})
        b->hide();
    // The error report comes in several lines (CR LF between them); each is
    // shown on a line of its own and the label grows to hold them all.
    const QString text = QString::fromStdString(text_).replace("\r\n", "\n");
    labMes->setText(text);
    QFontMetrics fm(labMes->font());
    int labW = fm.horizontalAdvance(text);
    int labH = fm.height();
    if (text.contains('\n')) {
        const QSize need = labMes->sizeHint();
        labW = need.width();
        labH = need.height();
    }
    labMes->resize(labW, labH);

    int w = labW + 20;
    switch (buttons_) {
    case 1:
        w = std::max(w, flbNo->width() + flbYes->width() + 50);
        break;
    case 2:
        w = std::max(w, flbOk->width() + 30);
        break;
    case 3:
        w = std::max(w, flbNo->width() + flbOk->width() + 50);
        break;
    default:
        break;
    }
    const int h = labH + 40;
    setFixedSize(w, h);
    labMes->move((w - labW) / 2, kLabelTop);
    shpFrame = QRect(0, 0, w, h);
    shpFrame2 = QRect(2, 2, w - 4, h - 4);

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect s = screen->geometry();
        move(s.left() + (s.width() - w) / 2, s.top() + (s.height() - h) / 2);
    }

    const int top = kLabelTop + labH + 6;
    switch (buttons_) {
    case 1:
        PlacePair(flbYes, flbNo, top);
        break;
    case 2:
        flbOk->move(w / 2 - flbOk->width() / 2, top);
        flbOk->show();
        break;
    case 3:
        PlacePair(flbOk, flbCancel, top);
        break;
    default:
        break;
    }
    update();
}

void TfrmQVMes::showEvent(QShowEvent* e) {
    Arrange();
    QDialog::showEvent(e);
}

void TfrmQVMes::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(255, 0, 0));
    p.setBrush(Qt::NoBrush);
    // A rectangle's outline covers its right and bottom edges at width - 1 and height - 1.
    p.drawRect(shpFrame.adjusted(0, 0, -1, -1));
    p.drawRect(shpFrame2.adjusted(0, 0, -1, -1));
}

// Borderless: the window moves by dragging its frame.
void TfrmQVMes::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TfrmQVMes::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - dragOffset_);
}

void TfrmQVMes::Answer(int code) {
    result_ = code;
    // No and Cancel end the dialog as rejected, like the Escape they stand for.
    if (code == mrNo || code == mrCancel)
        reject();
    else
        accept();
}

void TfrmQVMes::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool escape = e->key() == Qt::Key_Escape;
    if (!enter && !escape) {
        QDialog::keyPressEvent(e);
        return;
    }
    e->accept();
    switch (buttons_) {
    case 1:
        Answer(enter ? mrYes : mrNo);
        break;
    case 2:
        Answer(mrOk);
        break;
    case 3:
        Answer(enter ? mrOk : mrCancel);
        break;
    default:
        // Only a text: either key closes it, unanswered.
        reject();
        break;
    }
}
