#include "app/Qvselobj.h"
#include "controls/Look.h"

#include "controls/Selgrid.h"

#include <QEvent>
#include <QMouseEvent>

TfrmSelObj::TfrmSelObj(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setWindowTitle("Search");
    SetWindowLook(this);
    grdSelObj = new TSelGrid(this);
    grdSelObj->setFont(QFont("Arial", 8));
    grdSelObj->SetRowHei(16);
    grdSelObj->installEventFilter(this);
    Prepare();
}

void TfrmSelObj::Prepare() {
    grdSelObj->Clear();
    grdSelObj->SetMaxCol(4);
    const int widths[4] = {65, 45, 0, 0};
    for (int c = 1; c <= 4; ++c)
        grdSelObj->SetColWidth(c, widths[c - 1]);
    grdSelObj->SetMaxRow(0);
    Chosen = 0;
}

void TfrmSelObj::AddRow(const std::string& name, const std::string& mag, int kind, int index,
                        int tag) {
    const int r = grdSelObj->GetMaxRow() + 1;
    if (r > 100) return;
    grdSelObj->SetMaxRow(r);
    grdSelObj->SetTextA(r, 1, name);
    grdSelObj->SetTextA(r, 2, mag);
    grdSelObj->SetTextA(r, 3, std::to_string(kind));
    grdSelObj->SetTextA(r, 4, std::to_string(index));
    grdSelObj->SetTag(r, tag);
    // The name and magnitude columns grow to their longest text ("-26.80Mag").
    for (int c = 1; c <= 2; ++c)
        grdSelObj->SetColWidth(c, std::max(grdSelObj->GetColWidth(c), grdSelObj->TextWidth(c)));
}

int TfrmSelObj::Rows() const {
    return grdSelObj->GetMaxRow();
}

QSize TfrmSelObj::ListSize() const {
    // The title row and every object row.
    // As wide as its columns, with the last column's closing line.
    return QSize(grdSelObj->GetColWidth(1) + grdSelObj->GetColWidth(2) + 1,
                 grdSelObj->GetRowHei() * (Rows() + 1) + 2);
}

int TfrmSelObj::KindOf(int row) const {
    return std::atoi(grdSelObj->GetTextA(row, 3).c_str());
}

int TfrmSelObj::IndexOf(int row) const {
    return std::atoi(grdSelObj->GetTextA(row, 4).c_str());
}

void TfrmSelObj::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    grdSelObj->setGeometry(QRect(QPoint(0, 0), ListSize()));
    // Sorting twice on the tag column: brightest objects as the list rule gives.
    grdSelObj->RowSort(0);
    grdSelObj->RowSort(0);
    grdSelObj->SetSelRow(1);
    Chosen = 0;
    grdSelObj->setFocus();
}

void TfrmSelObj::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (OnClosed) OnClosed();
}

bool TfrmSelObj::eventFilter(QObject* o, QEvent* e) {
    if (o == grdSelObj && e->type() == QEvent::MouseButtonRelease) {
        const int y = static_cast<QMouseEvent*>(e)->position().toPoint().y();
        const int row = grdSelObj->RowAt(y);
        Chosen = row > 0 ? grdSelObj->GetSelRow() : 0;
        hide();
        return true;
    }
    return QWidget::eventFilter(o, e);
}
