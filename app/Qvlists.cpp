#include "app/Qvlists.h"

#include "app/Clslistpage.h"
#include "app/Clslistsky.h"
#include "app/Logstyle.h"
#include "catalog/Safefile.h"
#include "obslog/Clslistcsv.h"
#include "obslog/Clslogdb.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsobslists.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr double kDeg = 3.14159265358979323846 / 180;

} // namespace

TfrmLists::TfrmLists(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Observing lists");
    setStyleSheet(LogWindowStyle());
    resize(860, 460);
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* bottom = new QHBoxLayout;
    auto button = [this](QHBoxLayout* row, const char* text, auto f) {
        auto* b = new QPushButton(text, this);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, f);
    };
    cmbList = new QComboBox(this);
    top->addWidget(new QLabel("List", this));
    top->addWidget(cmbList, 1);
    button(top, "New...", [this] {
        QString name;
        if (AskText("New list", name)) NewList(name.trimmed().toStdString());
    });
    button(top, "Rename...", [this] {
        QString name = cmbList->currentText();
        std::string why;
        if (db_ && CurrentList() && AskText("Rename the list", name) &&
            !TObsLists(*db_).Rename(CurrentList(), name.trimmed().toStdString(), why))
            Say(why);
        Refresh();
    });
    button(top, "Delete", [this] {
        std::string why;
        if (db_ && CurrentList() &&
            QMessageBox::question(this, "Observing lists",
                                  "Delete the list " + cmbList->currentText() + "?") ==
                QMessageBox::Yes &&
            !TObsLists(*db_).Remove(CurrentList(), why))
            Say(why);
        Refresh();
    });
    button(top, "Import CSV...", [this] {
        std::string msg;
        const QString f = ChooseFile(false, "csv");
        if (!f.isEmpty()) ImportCsv(f.toStdString(), msg);
    });
    button(top, "Export CSV...", [this] {
        std::string msg;
        const QString f = ChooseFile(true, "csv");
        if (!f.isEmpty()) ExportCsv(f.toStdString(), msg);
    });
    button(top, "Print...", [this] {
        std::string msg;
        const QString f = ChooseFile(true, "pdf");
        if (!f.isEmpty()) PrintPdf(f.toStdString(), msg);
    });
    v->addLayout(top);
    grdList = new QTableWidget(this);
    grdList->setColumnCount(9);
    grdList->setHorizontalHeaderLabels(
        {"#", "Object", "Kind", "Mag.", "Const.", "Alt. now", "Best tonight", "Observed", "Note"});
    grdList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdList->verticalHeader()->hide();
    grdList->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(grdList, 1);
    button(bottom, "Up", [this] { MoveRow(grdList->currentRow(), -1); });
    button(bottom, "Down", [this] { MoveRow(grdList->currentRow(), 1); });
    button(bottom, "Remove", [this] { RemoveRow(grdList->currentRow()); });
    button(bottom, "Note...", [this] {
        const int row = grdList->currentRow();
        if (row < 0 || row >= static_cast<int>(Rows.size())) return;
        QString note = Q(Rows[static_cast<std::size_t>(row)].Note);
        if (AskText("Note", note)) SetNote(row, note.toStdString());
    });
    button(bottom, "Observed", [this] { ToggleObserved(grdList->currentRow()); });
    button(bottom, "Show on the chart", [this] { ChooseRow(grdList->currentRow()); });
    labStatus = new QLabel(this);
    bottom->addWidget(labStatus, 1);
    v->addLayout(bottom);
    connect(cmbList, &QComboBox::activated, this, [this] { Refresh(); });
    connect(grdList, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { ChooseRow(row); });
    ChooseFile = [this](bool save, const QString& kind) {
        const QString filter = kind == "pdf" ? "PDF (*.pdf)" : "CSV (*.csv);;All files (*)";
        return save ? QFileDialog::getSaveFileName(this, "Save the list",
                                                   cmbList->currentText() + "." + kind, filter)
                    : QFileDialog::getOpenFileName(this, "Read a list", QString(), filter);
    };
    AskText = [this](const QString& title, QString& text) {
        bool ok = false;
        const QString t = QInputDialog::getText(this, title, title, QLineEdit::Normal, text, &ok);
        if (ok) text = t;
        return ok && !t.trimmed().isEmpty();
    };
}

void TfrmLists::Say(const std::string& text) {
    labStatus->setText(Q(text));
}

void TfrmLists::SetDatabase(TLogDb* db, const std::string& whyOff) {
    db_ = db;
    whyOff_ = whyOff;
    Refresh();
}

std::int64_t TfrmLists::CurrentList() const {
    return cmbList->currentData().toLongLong();
}

void TfrmLists::ChooseList(std::int64_t id) {
    const int i = cmbList->findData(QVariant::fromValue<qlonglong>(id));
    if (i >= 0) cmbList->setCurrentIndex(i);
    Refresh();
}

std::vector<std::string> TfrmLists::RowTexts(std::size_t row) const {
    return row < texts_.size() ? texts_[row] : std::vector<std::string>();
}

void TfrmLists::Refresh() {
    const std::int64_t keep = CurrentList();
    const int keepRow = grdList->currentRow();
    cmbList->clear();
    grdList->setRowCount(0);
    Rows.clear();
    texts_.clear();
    if (!db_) {
        Say(whyOff_);
        return;
    }
    TObsLists lists(*db_);
    for (const TObsList& l : lists.Lists())
        cmbList->addItem(Q(l.Name), QVariant::fromValue<qlonglong>(l.Id));
    const int i = cmbList->findData(QVariant::fromValue<qlonglong>(keep));
    cmbList->setCurrentIndex(i >= 0 ? i : 0);
    if (!CurrentList()) {
        Say("No list yet: New... makes one, Ctrl+L in the chart adds the selected object");
        return;
    }
    Rows = lists.Entries(CurrentList());
    TLocation site;
    double zone = 0;
    if (Site) Site(site, zone);
    const double now = Now ? Now() : 0;
    const TListSky sky(site, now, zone);
    grdList->setRowCount(static_cast<int>(Rows.size()));
    for (std::size_t r = 0; r < Rows.size(); ++r) {
        const TListEntry& e = Rows[r];
        std::string alt, best, mag;
        if (e.Object.Ra && e.Object.Dec) {
            const TListSky::TResult s = sky.Evaluate(*e.Object.Ra, *e.Object.Dec);
            char buf[32];
            std::snprintf(buf, sizeof buf, "%+.0f\xC2\xB0", s.AltNow / kDeg);
            alt = buf;
            if (s.HasBest) {
                const std::int64_t ut = std::llround((s.BestMjd - 40587.0) * 86400);
                const std::string t =
                    TLogTime::Format(ut, static_cast<int>(std::lround(zone * 60)));
                std::snprintf(buf, sizeof buf, " (%.0f\xC2\xB0)", s.BestAlt / kDeg);
                best = t.substr(11, 5) + buf;
            } else {
                best = "not up";
            }
        }
        if (e.Object.Magnitude) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%.1f", *e.Object.Magnitude);
            mag = buf;
        }
        texts_.push_back({std::to_string(e.Position), e.Object.Name,
                          TListCsv::KindWord(e.Object.Type), mag, e.Object.Constellation, alt, best,
                          e.Observed ? "yes" : "", e.Note});
        for (int c = 0; c < 9; ++c)
            grdList->setItem(static_cast<int>(r), c,
                             new QTableWidgetItem(Q(texts_.back()[static_cast<std::size_t>(c)])));
    }
    grdList->resizeColumnsToContents();
    if (keepRow >= 0 && keepRow < grdList->rowCount()) grdList->selectRow(keepRow);
    Say(std::to_string(Rows.size()) + " objects");
}

bool TfrmLists::NewList(const std::string& name) {
    if (!db_) return Say(whyOff_), false;
    std::string why;
    const std::int64_t id = TObsLists(*db_).Create(name, why);
    if (!id) return Say(why), false;
    Refresh();
    ChooseList(id);
    return true;
}

std::int64_t TfrmLists::AddObject(const TLogObject& o) {
    if (!db_) return Say(whyOff_), 0;
    if (!CurrentList() && !NewList("Observing list")) return 0;
    std::string why;
    const std::int64_t id = TObsLists(*db_).Add(CurrentList(), o, "", why);
    Refresh();
    if (!id) {
        Say(why);
        return 0;
    }
    grdList->selectRow(grdList->rowCount() - 1);
    Say(o.Name + " added to " + cmbList->currentText().toStdString());
    return id;
}

void TfrmLists::MoveRow(int row, int by) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    std::string why;
    if (!TObsLists(*db_).Move(Rows[static_cast<std::size_t>(row)].Id, row + 1 + by, why)) Say(why);
    Refresh();
    const int to = std::clamp(row + by, 0, grdList->rowCount() - 1);
    grdList->selectRow(to);
}

void TfrmLists::RemoveRow(int row) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    std::string why;
    if (!TObsLists(*db_).RemoveEntry(Rows[static_cast<std::size_t>(row)].Id, why)) Say(why);
    Refresh();
}

void TfrmLists::SetNote(int row, const std::string& note) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    std::string why;
    if (!TObsLists(*db_).SetNote(Rows[static_cast<std::size_t>(row)].Id, note, why)) Say(why);
    Refresh();
}

void TfrmLists::ToggleObserved(int row) {
    if (!db_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
    const TListEntry& e = Rows[static_cast<std::size_t>(row)];
    std::string why;
    if (!TObsLists(*db_).SetObserved(e.Id, !e.Observed, why)) Say(why);
    Refresh();
}

void TfrmLists::ChooseRow(int row) {
    if (row < 0 || row >= static_cast<int>(Rows.size())) return;
    if (OnChoose) OnChoose(Rows[static_cast<std::size_t>(row)].Object);
}

void TfrmLists::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        ChooseRow(grdList->currentRow());
        return;
    }
    if (e->key() == Qt::Key_Delete) {
        RemoveRow(grdList->currentRow());
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TfrmLists::ImportCsv(const std::string& path, std::string& message) {
    if (!db_) return Say(message = whyOff_), false;
    std::string text;
    std::vector<TListEntry> rows;
    if (!TSafeFile::ReadAll(path, TListCsv::MaxBytes, text, message) ||
        !TListCsv::Read(text, rows, message)) {
        Say(message);
        return false;
    }
    // A list of the file's name, all rows in one transaction.
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".csv") == 0)
        name.resize(name.size() - 4);
    std::int64_t id = 0;
    TObsLists lists(*db_);
    const bool ok = db_->Transact(
        [&](std::string& err) {
            id = lists.Create(name, err);
            if (!id) return false;
            for (const TListEntry& e : rows)
                if (!lists.Add(id, e.Object, e.Note, err)) return false;
            return true;
        },
        message);
    if (ok) message = std::to_string(rows.size()) + " objects read into " + name;
    Refresh();
    if (ok) ChooseList(id);
    Say(message);
    return ok;
}

bool TfrmLists::ExportCsv(const std::string& path, std::string& message) {
    if (!db_ || !CurrentList()) return Say(message = db_ ? "No list to write" : whyOff_), false;
    const bool ok = TSafeFile::WriteAtomic(path, TListCsv::Write(Rows), message);
    if (ok) message = "The list was written to " + path;
    Say(message);
    return ok;
}

bool TfrmLists::PrintPdf(const std::string& path, std::string& message) {
    if (!db_ || !CurrentList()) return Say(message = db_ ? "No list to print" : whyOff_), false;
    const bool ok = TListPage::WritePdf(
        path, cmbList->currentText().toStdString(),
        {"#", "Object", "Kind", "Mag.", "Const.", "Alt. now", "Best tonight", "Observed", "Note"},
        {3, 14, 10, 5, 5, 6, 10, 6, 22}, texts_, message);
    if (ok) message = "The list was printed to " + path;
    Say(message);
    return ok;
}
