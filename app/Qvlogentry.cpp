#include "app/Qvlogentry.h"

#include "app/Logstyle.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsobslog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void Select(QComboBox* c, std::int64_t id) {
    const int i = c->findData(QVariant::fromValue<qlonglong>(id));
    c->setCurrentIndex(i < 0 ? 0 : i);
}

std::int64_t Chosen(const QComboBox* c) {
    return c->currentData().toLongLong();
}

bool OptNumber(const QLineEdit* e, std::optional<double>& v) {
    const QString t = e->text().trimmed();
    if (t.isEmpty()) {
        v.reset();
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return false;
    v = d;
    return true;
}

} // namespace

TfrmLogEntry::TfrmLogEntry(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Log entry");
    setStyleSheet(LogWindowStyle());
    auto* form = new QFormLayout(this);
    edtUt = new QDateTimeEdit(this);
    edtUt->setTimeSpec(Qt::UTC);
    edtUt->setDisplayFormat("yyyy-MM-dd HH:mm:ss 'UT'");
    labLocal = new QLabel(this);
    auto* when = new QHBoxLayout;
    when->addWidget(edtUt);
    when->addWidget(labLocal);
    form->addRow("Time", when);
    edtObject = new QLineEdit(this);
    form->addRow("Object", edtObject);
    cmbObserver = new QComboBox(this);
    cmbObserver->setEditable(true);
    form->addRow("Observer", cmbObserver);
    cmbScope = new QComboBox(this);
    cmbEyepiece = new QComboBox(this);
    cmbFilter = new QComboBox(this);
    auto* addEq = new QPushButton("Equipment...", this);
    auto* scopeRow = new QHBoxLayout;
    scopeRow->addWidget(cmbScope, 1);
    scopeRow->addWidget(addEq);
    form->addRow("Telescope", scopeRow);
    form->addRow("Eyepiece", cmbEyepiece);
    form->addRow("Filter", cmbFilter);
    edtMag = new QDoubleSpinBox(this);
    edtMag->setRange(0, 5000);
    edtMag->setDecimals(0);
    edtMag->setSpecialValueText("-");
    edtMag->setSuffix("x");
    form->addRow("Magnification", edtMag);
    cmbSeeing = new QComboBox(this);
    for (const char* s : {"-", "1 perfect", "2 good", "3 moderate", "4 poor", "5 very poor"})
        cmbSeeing->addItem(s);
    form->addRow("Seeing", cmbSeeing);
    cmbTransparency = new QComboBox(this);
    for (const char* s : {"-", "1 very poor", "2 poor", "3 average", "4 good", "5 excellent"})
        cmbTransparency->addItem(s);
    form->addRow("Transparency", cmbTransparency);
    edtFaintest = new QLineEdit(this);
    edtFaintest->setPlaceholderText("naked-eye limiting magnitude");
    form->addRow("Faintest star", edtFaintest);
    edtSky = new QLineEdit(this);
    edtSky->setPlaceholderText("mag per square arcsecond");
    form->addRow("Sky quality", edtSky);
    memNotes = new QPlainTextEdit(this);
    form->addRow("Notes", memNotes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        TObservation probe;
        std::string why;
        if (Take(probe, why))
            accept();
        else
            QMessageBox::warning(this, "Log entry", Q(why));
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(edtUt, &QDateTimeEdit::dateTimeChanged, this, [this] { ShowLocal(); });
    connect(cmbScope, &QComboBox::currentIndexChanged, this, [this] { SuggestMagnification(); });
    connect(cmbEyepiece, &QComboBox::currentIndexChanged, this, [this] { SuggestMagnification(); });
    connect(addEq, &QPushButton::clicked, this, [this] { AddEquipment(); });
}

void TfrmLogEntry::ShowLocal() {
    const qint64 ut = edtUt->dateTime().toSecsSinceEpoch();
    const std::string t = TLogTime::Format(ut, offset_);
    labLocal->setText("local " +
                      Q(t.substr(0, 10) + " " + t.substr(11, 8) + " (UT" + t.substr(19) + ")"));
}

void TfrmLogEntry::SuggestMagnification() {
    double scope = 0, eye = 0;
    for (const TLogScope& s : known_.Scopes)
        if (s.Id == Chosen(cmbScope)) scope = s.FocalLength;
    for (const TEyepiece& e : known_.Eyepieces)
        if (e.Id == Chosen(cmbEyepiece)) eye = e.FocalLength;
    if (scope > 0 && eye > 0) edtMag->setValue(std::round(scope / eye));
}

void TfrmLogEntry::FillEquipment(std::int64_t scope, std::int64_t eyepiece, std::int64_t filter) {
    const QSignalBlocker b1(cmbScope), b2(cmbEyepiece);
    cmbScope->clear();
    cmbEyepiece->clear();
    cmbFilter->clear();
    cmbScope->addItem("-", QVariant::fromValue<qlonglong>(0));
    cmbEyepiece->addItem("-", QVariant::fromValue<qlonglong>(0));
    cmbFilter->addItem("-", QVariant::fromValue<qlonglong>(0));
    for (const TLogScope& s : known_.Scopes)
        cmbScope->addItem(
            Q(s.Model) +
                QString(" (%1 mm f/%2)").arg(s.Aperture).arg(s.FocalLength / s.Aperture, 0, 'f', 1),
            QVariant::fromValue<qlonglong>(s.Id));
    for (const TEyepiece& e : known_.Eyepieces)
        cmbEyepiece->addItem(Q(e.Model) + QString(" (%1 mm)").arg(e.FocalLength),
                             QVariant::fromValue<qlonglong>(e.Id));
    for (const TFilter& f : known_.Filters)
        cmbFilter->addItem(Q(f.Model) + " (" + Q(f.Type) + ")",
                           QVariant::fromValue<qlonglong>(f.Id));
    Select(cmbScope, scope);
    Select(cmbEyepiece, eyepiece);
    Select(cmbFilter, filter);
}

void TfrmLogEntry::Fill(TLogDb& db, const TObservation& o) {
    db_ = &db;
    known_ = TObsLog(db).ReadAll();
    offset_ = o.UtcOffsetMin;
    edtUt->setDateTime(QDateTime::fromSecsSinceEpoch(o.Begin, Qt::UTC));
    ShowLocal();
    edtObject->setText(Q(o.Object.Name));
    cmbObserver->clear();
    for (const TObserver& x : known_.Observers)
        cmbObserver->addItem(Q(x.Name + (x.Surname.empty() ? "" : " " + x.Surname)),
                             QVariant::fromValue<qlonglong>(x.Id));
    Select(cmbObserver, o.ObserverId);
    if (known_.Observers.empty()) cmbObserver->setEditText(qEnvironmentVariable("USER"));
    FillEquipment(o.ScopeId, o.EyepieceId, o.FilterId);
    edtMag->setValue(o.Magnification.value_or(0));
    cmbSeeing->setCurrentIndex(o.Seeing);
    cmbTransparency->setCurrentIndex(o.Transparency);
    edtFaintest->setText(o.FaintestStar ? QString::number(*o.FaintestStar) : QString());
    edtSky->setText(o.SkyQuality ? QString::number(*o.SkyQuality) : QString());
    memNotes->setPlainText(Q(o.Notes));
}

bool TfrmLogEntry::Take(TObservation& o, std::string& why) {
    o.Begin = edtUt->dateTime().toSecsSinceEpoch();
    o.Object.Name = edtObject->text().trimmed().toStdString();
    if (o.Object.Name.empty()) {
        why = "The entry needs the object's name";
        return false;
    }
    o.ScopeId = Chosen(cmbScope);
    o.EyepieceId = Chosen(cmbEyepiece);
    o.FilterId = Chosen(cmbFilter);
    o.Magnification = edtMag->value() >= 1 ? std::optional<double>(edtMag->value()) : std::nullopt;
    o.Seeing = cmbSeeing->currentIndex();
    o.Transparency = cmbTransparency->currentIndex();
    if (!OptNumber(edtFaintest, o.FaintestStar) || !OptNumber(edtSky, o.SkyQuality)) {
        why = "Faintest star and sky quality are numbers (or empty)";
        return false;
    }
    o.Notes = memNotes->toPlainText().toStdString();
    // An observer typed in is one the log did not know yet: kept on OK.
    const QString name = cmbObserver->currentText().trimmed();
    o.ObserverId = 0;
    for (const TObserver& x : known_.Observers)
        if (Q(x.Name + (x.Surname.empty() ? "" : " " + x.Surname)) == name) o.ObserverId = x.Id;
    if (!o.ObserverId && !name.isEmpty() && result() == QDialog::Accepted && db_) {
        TObserver x;
        const int space = name.lastIndexOf(' ');
        x.Name = (space > 0 ? name.left(space) : name).toStdString();
        x.Surname = space > 0 ? name.mid(space + 1).toStdString() : "";
        o.ObserverId = TObsLog(*db_).AddObserver(x, why);
        if (!o.ObserverId) return false;
    }
    return true;
}

bool TfrmLogEntry::Edit(TLogDb& db, TObservation& o) {
    Fill(db, o);
    if (exec() != QDialog::Accepted) return false;
    std::string why;
    if (!Take(o, why)) {
        QMessageBox::warning(this, "Log entry", Q(why));
        return false;
    }
    return true;
}

void TfrmLogEntry::AddEquipment() {
    if (!db_) return;
    QDialog d(this);
    d.setWindowTitle("Equipment");
    d.setStyleSheet(LogWindowStyle());
    auto* form = new QFormLayout(&d);
    auto* kind = new QComboBox(&d);
    kind->addItems({"Telescope", "Eyepiece", "Filter"});
    auto* model = new QLineEdit(&d);
    auto* a = new QLineEdit(&d);
    auto* b = new QLineEdit(&d);
    auto* filterType = new QComboBox(&d);
    filterType->addItems({"other", "broad band", "narrow band", "O-III", "H-beta", "H-alpha",
                          "color", "neutral", "corrective", "solar"});
    form->addRow("Kind", kind);
    form->addRow("Name", model);
    form->addRow("Aperture (mm) / focal length (mm)", a);
    form->addRow("Focal length (mm) / apparent field (deg)", b);
    form->addRow("Filter type", filterType);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    if (d.exec() != QDialog::Accepted) return;
    std::string why;
    std::int64_t id = 0;
    TObsLog log(*db_);
    std::int64_t scope = Chosen(cmbScope), eye = Chosen(cmbEyepiece), filter = Chosen(cmbFilter);
    if (kind->currentIndex() == 0) {
        id = scope = log.AddScope(
            {0, model->text().toStdString(), "", "", a->text().toDouble(), b->text().toDouble()},
            why);
    } else if (kind->currentIndex() == 1) {
        std::optional<double> field;
        if (b->text().toDouble() > 0) field = b->text().toDouble();
        id = eye =
            log.AddEyepiece({0, model->text().toStdString(), "", a->text().toDouble(), field}, why);
    } else {
        id = filter = log.AddFilter(
            {0, model->text().toStdString(), "", filterType->currentText().toStdString()}, why);
    }
    if (!id) {
        QMessageBox::warning(this, "Equipment", Q(why));
        return;
    }
    known_ = log.ReadAll();
    FillEquipment(scope, eye, filter);
    SuggestMagnification();
}
