#include "app/Qvsky.h"

#include "app/Forms.h"
#include "app/Qvopen.h"
#include "astro/Clsdegree.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QPainter>

TfrmQVSKY::TfrmQVSKY(const std::string& folder, QWidget* parent)
    : QWidget(parent), folder_(folder) {
    setWindowTitle("Quenlira III");
    resize(800, 600);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(QFont("Arial", 9));
}

void TfrmQVSKY::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    TakeSite();
}

void TfrmQVSKY::TakeSite() {
    Redraw();
    update();
}

void TfrmQVSKY::Redraw() { hayami_ = QImage(); }

void TfrmQVSKY::Setting() {
    if (!frmQVOpen)
        return;
    if (frmQVOpen->exec() == QDialog::Accepted)
        TakeSite();
}

void TfrmQVSKY::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!hayami_.isNull())
        p.drawImage(0, 0, hayami_);
    if (!frmQVOpen)
        return;
    const TSite& s = frmQVOpen->CurrentSite;
    TDegrees lng, lat;
    lng.SetRad(s.Lng);
    lat.SetRad(s.Lat);
    const QDateTime ut = QDateTime::currentDateTimeUtc();
    const QDateTime local = ut.addSecs(static_cast<qint64>((s.DiffUT + s.Summer) * 3600.0));
    QStringList lines = {
        QString::fromStdString(s.Name),
        QString("Longitude(E) %1   Latitude(N) %2")
            .arg(QString::fromStdString(lng.TextDeg(1, 2)), QString::fromStdString(lat.TextDeg(1, 2))),
        QString("SeaLevel %1 m   TimeZone %2 h   SummerTime %3")
            .arg(s.Height)
            .arg(s.DiffUT, 0, 'f', 1)
            .arg(static_cast<int>(s.Summer)),
        "Local " + local.toString("yyyy/MM/dd hh:mm") + "   UT " + ut.toString("yyyy/MM/dd hh:mm"),
        "F3 Setting",
    };
    p.setPen(QColor(255, 0, 0));
    int y = hayami_.isNull() ? 20 : hayami_.height() + 20;
    for (const QString& l : lines) {
        p.drawText(10, y, l);
        y += 18;
    }
}

void TfrmQVSKY::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F3) {
        Setting();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfrmQVSKY::closeEvent(QCloseEvent* e) {
    // Closing the chart ends the program: keep the settings, close the opening window.
    if (frmQVOpen) {
        frmQVOpen->SaveRecord();
        frmQVOpen->close();
    }
    QWidget::closeEvent(e);
    qApp->quit();
}
