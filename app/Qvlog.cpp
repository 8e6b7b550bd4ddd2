#include "app/Qvlog.h"

#include "app/Logstyle.h"
#include "app/Qvlogentry.h"
#include "obslog/Clslogdb.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsoal.h"
#include "obslog/Clsobslog.h"
#include "catalog/Safefile.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* const Seeing[] = {"", "1 perfect", "2 good", "3 moderate", "4 poor", "5 very poor"};
const char* const Transparency[] = {"",          "1 very poor", "2 poor",
                                    "3 average", "4 good",      "5 excellent"};

} // namespace

TfrmLog::TfrmLog(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Observing log");
    setStyleSheet(LogWindowStyle());
    resize(980, 460);
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Search", this));
    edtSearch = new QLineEdit(this);
    top->addWidget(edtSearch, 1);
    auto button = [&](const char* text, auto f) {
        auto* b = new QPushButton(text, this);
        top->addWidget(b);
        connect(b, &QPushButton::clicked, this, f);
        return b;
    };
    button("Edit", [this] { EditRow(grdLog->currentRow()); });
    button("Remove", [this] { RemoveRow(grdLog->currentRow()); });
    button("Import OAL...", [this] {
        const QString f = ChooseFile(false);
        std::string msg;
        if (!f.isEmpty()) ImportOal(f.toStdString(), msg);
    });
    button("Export OAL...", [this] {
        const QString f = ChooseFile(true);
        std::string msg;
        if (!f.isEmpty()) ExportOal(f.toStdString(), msg);
    });
    v->addLayout(top);
    grdLog = new QTableWidget(this);
    grdLog->setColumnCount(11);
    grdLog->setHorizontalHeaderLabels({"Night", "Local time", "UT", "Object", "Telescope",
                                       "Eyepiece", "Filter", "Mag.", "Seeing", "Transparency",
                                       "Notes"});
    grdLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLog->setSelectionMode(QAbstractItemView::SingleSelection);
    grdLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLog->verticalHeader()->hide();
    grdLog->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(grdLog, 1);
    labStatus = new QLabel(this);
    v->addWidget(labStatus);
    frmEntry = new TfrmLogEntry(this);
    connect(edtSearch, &QLineEdit::textChanged, this, [this] { Refresh(); });
    connect(grdLog, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditRow(row); });
    ChooseFile = [this](bool save) {
        return save ? QFileDialog::getSaveFileName(this, "Export the log", "observations.xml",
                                                   "OpenAstronomyLog (*.xml)")
                    : QFileDialog::getOpenFileName(this, "Import a log", QString(),
                                                   "OpenAstronomyLog (*.xml);;All files (*)");
    };
}

void TfrmLog::Say(const std::string& text) {
    labStatus->setText(Q(text));
}

void TfrmLog::SetDatabase(TLogDb* db, const std::string& whyOff) {
    db_ = db;
    whyOff_ = whyOff;
    Refresh();
}

void TfrmLog::Refresh() {
    grdLog->setRowCount(0);
    Rows.clear();
    if (!db_) {
        Say(whyOff_);
        return;
    }
    TObsLog log(*db_);
    const TLogData all = log.ReadAll();
    std::map<std::int64_t, std::string> scopes, eyes, filters;
    for (const auto& s : all.Scopes)
        scopes[s.Id] = s.Model;
    for (const auto& e : all.Eyepieces)
        eyes[e.Id] = e.Model;
    for (const auto& f : all.Filters)
        filters[f.Id] = f.Model;
    Rows = log.Entries(edtSearch->text().trimmed().toStdString());
    grdLog->setRowCount(static_cast<int>(Rows.size()));
    for (int r = 0; r < static_cast<int>(Rows.size()); ++r) {
        const TObservation& o = Rows[static_cast<std::size_t>(r)];
        const std::string local = TLogTime::Format(o.Begin, o.UtcOffsetMin);
        const std::string ut = TLogTime::Format(o.Begin, 0);
        std::int64_t y;
        int m, d;
        TLogTime::CivilFromDays(TObsLog::NightOf(o.Begin, o.UtcOffsetMin), y, m, d);
        const QString night =
            QString("%1-%2-%3").arg(y).arg(m, 2, 10, QChar('0')).arg(d, 2, 10, QChar('0'));
        const QStringList cells = {
            night,
            Q(local.substr(0, 10) + " " + local.substr(11, 5)),
            Q(ut.substr(11, 5)),
            Q(o.Object.Name),
            Q(scopes[o.ScopeId]),
            Q(eyes[o.EyepieceId]),
            Q(filters[o.FilterId]),
            o.Magnification ? QString::number(*o.Magnification) + "x" : "",
            Seeing[o.Seeing < 0 || o.Seeing > 5 ? 0 : o.Seeing],
            Transparency[o.Transparency < 0 || o.Transparency > 5 ? 0 : o.Transparency],
            Q(o.Notes).replace('\n', ' ')};
        for (int c = 0; c < cells.size(); ++c)
            grdLog->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    grdLog->resizeColumnsToContents();
    Say(std::to_string(Rows.size()) + " of " + std::to_string(log.Count()) + " entries");
}

std::int64_t TfrmLog::NewEntry(const TObservation& start) {
    if (!db_) {
        QMessageBox::information(this, "Observing log", Q(whyOff_));
        return 0;
    }
    TObservation o = start;
    if (!frmEntry->Edit(*db_, o)) return 0;
    std::string why;
    const std::int64_t id = TObsLog(*db_).Add(o, why);
    if (!id) QMessageBox::warning(this, "Observing log", Q(why));
    Refresh();
    return id;
}

void TfrmLog::EditRow(int row) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    TObservation o = Rows[static_cast<std::size_t>(row)];
    if (!frmEntry->Edit(*db_, o)) return;
    std::string why;
    if (!TObsLog(*db_).Update(o, why)) QMessageBox::warning(this, "Observing log", Q(why));
    Refresh();
}

void TfrmLog::RemoveRow(int row) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    const TObservation& o = Rows[static_cast<std::size_t>(row)];
    if (QMessageBox::question(this, "Observing log",
                              "Remove the entry for " + Q(o.Object.Name) + "?") != QMessageBox::Yes)
        return;
    std::string why;
    if (!TObsLog(*db_).Remove(o.Id, why)) QMessageBox::warning(this, "Observing log", Q(why));
    Refresh();
}

bool TfrmLog::ImportOal(const std::string& path, std::string& message) {
    if (!db_) {
        message = whyOff_;
        Say(message);
        return false;
    }
    TLogData d;
    int added = 0, skipped = 0;
    bool ok = TOal::ReadFile(path, d, message) && TObsLog(*db_).Import(d, added, skipped, message);
    if (ok)
        message = std::to_string(added) + " observations added, " + std::to_string(skipped) +
                  " already in the log";
    Refresh();
    Say(message);
    return ok;
}

bool TfrmLog::ExportOal(const std::string& path, std::string& message) {
    if (!db_) {
        message = whyOff_;
        Say(message);
        return false;
    }
    const bool ok = TSafeFile::WriteAtomic(path, TOal::Write(TObsLog(*db_).ReadAll()), message);
    if (ok) message = "The log was written to " + path;
    Say(message);
    return ok;
}
