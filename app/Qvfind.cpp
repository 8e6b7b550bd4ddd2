#include "app/Qvfind.h"
#include "controls/Ctlbase.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>

namespace {

const QColor kRed(255, 0, 0);
const QColor kDarkRed(128, 0, 0);
const QColor kDarkerRed(64, 0, 0);
const QColor kBlack(0, 0, 0);

} // namespace

TFindField::TFindField(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFont(QFont("Arial", 8));
    edit_ = new QLineEdit(this);
    edit_->setFont(QFont("Arial", 9));
    edit_->setPlaceholderText("Find: a name, M31, NGC 7000, alpha Ori, HIP 27989");
    edit_->setMaxLength(256);
    edit_->setStyleSheet("QLineEdit { background: black; color: rgb(255,0,0); "
                         "border: 1px solid rgb(255,0,0); selection-background-color: "
                         "rgb(128,0,0); selection-color: black; padding-left: 2px; }");
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::PlaceholderText, kDarkRed);
    edit_->setPalette(pal);
    edit_->installEventFilter(this);
    status_ = new QLabel("no match", edit_);
    status_->setFont(QFont("Arial", 8));
    status_->setStyleSheet(
        "QLabel { color: rgb(255,0,0); background: rgb(64,0,0); padding: 0 3px; }");
    status_->hide();
    QObject::connect(edit_, &QLineEdit::textChanged, this, [this] { Refresh(); });
    hide();
}

void TFindField::Open() {
    show();
    raise();
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->selectAll();
    Refresh();
}

void TFindField::Close() {
    hide();
}

bool TFindField::NoMatch() const {
    return !status_->isHidden();
}

std::string TFindField::MagText(const TFindIndex::THit& hit) {
    if (!hit.HasMag) return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", hit.Mag);
    return buf;
}

void TFindField::Refresh() {
    const std::string text = edit_->text().toStdString();
    hits_ = Search ? Search(text) : std::vector<TFindIndex::THit>{};
    if (static_cast<int>(hits_.size()) > kMaxRows) hits_.resize(kMaxRows);
    current_ = hits_.empty() ? -1 : 0;
    // Said inside the line, at its right end, so nothing else moves.
    const bool none = hits_.empty() && !TFindIndex::Fold(text).empty();
    status_->setVisible(none);
    if (none) {
        status_->adjustSize();
        status_->move(edit_->width() - status_->width() - 2,
                      (edit_->height() - status_->height()) / 2);
    }
    FitHeight();
    update();
}

void TFindField::FitHeight() {
    const int rows = static_cast<int>(hits_.size());
    resize(width(), kEditHeight + (rows > 0 ? rows * kRowHeight + 3 : 0));
    edit_->setGeometry(0, 0, width(), kEditHeight);
}

int TFindField::RowAt(QPoint p) const {
    if (p.y() < kEditHeight + 1) return -1;
    const int row = (p.y() - kEditHeight - 1) / kRowHeight;
    return row >= 0 && row < static_cast<int>(hits_.size()) ? row : -1;
}

void TFindField::MoveCurrent(int step) {
    if (hits_.empty()) return;
    const int n = static_cast<int>(hits_.size());
    current_ = std::clamp(current_ + step, 0, n - 1);
    update();
}

void TFindField::Choose(int row) {
    if (row < 0 || row >= static_cast<int>(hits_.size())) return;
    const TFindIndex::THit hit = hits_[row];
    Close();
    if (OnChoose) OnChoose(hit);
}

void TFindField::paintEvent(QPaintEvent*) {
    if (hits_.empty()) return;
    QPainter p(this);
    const QRect list(0, kEditHeight, width(), height() - kEditHeight);
    p.fillRect(list, kBlack);
    p.setPen(kRed);
    p.drawRect(list.adjusted(0, 0, -1, -1));
    const QFontMetrics fm(font());
    const int magW = fm.horizontalAdvance("-26.74") + 6;
    const int kindW = fm.horizontalAdvance("planetary nebula") + 6;
    for (int i = 0; i < static_cast<int>(hits_.size()); ++i) {
        const TFindIndex::THit& h = hits_[i];
        const QRect row(1, kEditHeight + 1 + i * kRowHeight, width() - 2, kRowHeight);
        // The marked row as the lists mark theirs: white on red.
        if (i == current_) p.fillRect(row, kRed);
        p.setPen(i == current_ ? InkOver(RGBColor(255, 255, 255), RGBColor(255, 0, 0)) : kRed);
        const QRect mag(row.right() - magW, row.top(), magW - 3, row.height());
        const QRect kind(mag.left() - kindW, row.top(), kindW, row.height());
        const QRect name(row.left() + 3, row.top(), kind.left() - row.left() - 6, row.height());
        QString text = QString::fromStdString(h.Name);
        if (!h.Also.empty()) text += "  (" + QString::fromStdString(h.Also) + ")";
        p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(text, Qt::ElideRight, name.width()));
        p.drawText(kind, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(h.KindText));
        p.drawText(mag, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(MagText(h)));
    }
}

void TFindField::mousePressEvent(QMouseEvent* e) {
    const int row = RowAt(e->position().toPoint());
    if (row >= 0) Choose(row);
}

void TFindField::mouseMoveEvent(QMouseEvent* e) {
    const int row = RowAt(e->position().toPoint());
    if (row >= 0 && row != current_) {
        current_ = row;
        update();
    }
}

bool TFindField::eventFilter(QObject* o, QEvent* e) {
    if (o == edit_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        switch (k->key()) {
        case Qt::Key_Down:
            MoveCurrent(1);
            return true;
        case Qt::Key_Up:
            MoveCurrent(-1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Nothing to choose: the field stays as it is, saying so.
            Choose(current_);
            return true;
        case Qt::Key_Escape:
            Close();
            if (OnCancel) OnCancel();
            return true;
        default:
            break;
        }
    }
    if (o == edit_ && e->type() == QEvent::FocusOut) {
        // The user went elsewhere: the field goes, what it held stays for next time.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason) hide();
    }
    if (o == edit_ && e->type() == QEvent::ShortcutOverride) {
        // The field's own keys win over the window's shortcuts while typing.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Escape) {
            e->accept();
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}
