#include "app/Qvopen.h"
#include "catalog/Clsfolders.h"
#include "controls/Look.h"

#include "catalog/Safefile.h"
#include "plan/Clshorizonsites.h"
#include "app/Errhandler.h"
#include "app/Forms.h"
#include "controls/Flatscroll.h"
#include "controls/Framelabel.h"
#include "controls/Selgrid.h"
#include "site/Qvlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr int kYes = 10001;

} // namespace

// The title picture is in the library's resources; a static library needs
// them registered by hand (outside any namespace).
static void InitResources() {
    Q_INIT_RESOURCE(Quenlira);
}

TfrmQVOpen::TfrmQVOpen(const std::string& folder, QWidget* parent) : QDialog(parent) {
    InitResources();
    // 1, 2: the program folder, no current site yet, first start.
    Folder = folder;
    CurrentSite.Name.clear();
    CurrentRow = 0;
    FirstStart = true;
    Ask = [](int b, const std::string& t) { return QVMes(b, t); };
    Terminate = [] {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    };
    ShowEditor = [this] {
        if (Editor) Editor->exec();
    };

    // 3: errors nobody handles end here.
    TApplication::SetErrorHandler(
        [this](int no, const std::string& msg) { AppException(no, msg); });

    // 4: a first start makes the settings file with the default sites. If it
    // cannot, this window is never made, and the handler must not outlive it.
    if (!QFileInfo::exists(QString::fromStdString(FilePath(TSysInfo::kFileName)))) {
        TSysInfo fresh;
        fresh.NewFile();
        std::string msg;
        if (!fresh.Save(Folder, msg)) {
            TApplication::SetErrorHandler(nullptr);
            throw std::runtime_error(msg);
        }
    }
    // 5: the party settings file exists, even if empty.
    // Made only where the name is free: never through a link lying there,
    // never over something else of that name.
    {
        std::string why;
        bool taken = false;
        TSafeFile::CreateNew(FilePath("StarParty.dat"), "", why, taken);
    }

    // 6: captions and look.
    setWindowTitle("Quenlira III");
    setFixedSize(420, 352);
    SetWindowLook(this, 8);

    imgTitle = new QLabel(this);
    imgTitle->setGeometry(10, 8, 400, 100);

    grdLocation = new TSelGrid(this);
    grdLocation->setGeometry(10, 116, 384, 200);
    grdLocation->setFont(QFont("Arial", 9));
    grdLocation->SetSrtEn(false);
    grdLocation->OnChange = [this](QWidget*) {
        flsLocation->SetValue(grdLocation->GetDspTop());
        CurrentRow = grdLocation->GetSelRow();
    };
    grdLocation->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            key = 0;
            Choose();
        }
    };

    flsLocation = new TFlatScroll(this);
    flsLocation->setGeometry(394, 116, 16, 200);
    flsLocation->SetFrCol(kRed);
    flsLocation->SetArCol(kRed);
    flsLocation->SetABCol(RGBColor(128, 0, 0));
    flsLocation->SetBrCol(kRed);
    flsLocation->SetBBCol(RGBColor(128, 0, 0));
    flsLocation->OnChange = [this](QWidget*) { ScrollToList(); };

    auto button = [this](const char* text, int x) {
        auto* f = RedButton(this, text, QRect(x, 324, 64, 20), 8);
        f->SetPsE(true);
        return f;
    };
    flbAdd = button("Add", 10);
    flbEdit = button("Edit", 80);
    flbDelete = button("Delete", 150);
    flbOk = button("OK", 250);
    // Add, Edit and Delete act on a click (released over the button); OK on the press.
    auto click = [](TFrameLabel* f, std::function<void()> act) {
        f->OnMouseUp = [f, act](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            if (f->rect().contains(x, y)) act();
        };
    };
    click(flbAdd, [this] { flbAddMouseDown(); });
    click(flbEdit, [this] { flbEditMouseDown(); });
    click(flbDelete, [this] { flbDeleteMouseDown(); });
    flbOk->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbOkMouseDown();
    };

    labRev = new QLabel("Rev2", this);
    labRev->setGeometry(370, 328, 40, 16);
    labRev->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

TfrmQVOpen::~TfrmQVOpen() {
    // The handler reports through this window; it goes with it.
    TApplication::SetErrorHandler(nullptr);
}

std::string TfrmQVOpen::FilePath(const char* name) const {
    return PathIn(Folder, name);
}

void TfrmQVOpen::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    Reload();
    // 6: the title picture.
    imgTitle->setPixmap(QPixmap(":/MAINTITLEE"));
    // The keyboard goes to the list, so that a site can be chosen with Enter.
    grdLocation->setFocus();
}

void TfrmQVOpen::closeEvent(QCloseEvent* e) {
    // The user closes the program here: a change still unsaved gets its last
    // chance (and the same message if it fails again).
    if (unsaved_ && isVisible()) SaveRecord();
    QDialog::closeEvent(e);
}

void TfrmQVOpen::keyPressEvent(QKeyEvent* e) {
    // Escape leaves a change of site with the site as it was; at start-up
    // closing this window would end the program, so there it does nothing.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        if (!FirstStart) reject();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfrmQVOpen::LoadRecord() {
    // A change the file could not take is not read over: it is written now
    // if the folder lets us, and kept in memory if not.
    if (unsaved_) {
        std::string msg;
        if (SysInfo.Save(Folder, msg)) unsaved_ = false;
        return;
    }
    std::string msg;
    if (!SysInfo.Load(Folder, msg))
        throw std::runtime_error(msg); // a file error: the error handler ends the program
    if (!msg.empty() && msg != shownLoadMessage_) {
        shownLoadMessage_ = msg;
        Ask(2, msg);
    }
}

bool TfrmQVOpen::SaveRecord() {
    std::string msg;
    if (SysInfo.Save(Folder, msg)) {
        unsaved_ = false;
        return true;
    }
    unsaved_ = true;
    Ask(2, "The settings could not be saved.\r\n" + msg +
               "\r\nThe change is kept and will be saved at the next chance.");
    return false;
}

void TfrmQVOpen::FillList() {
    const int n = SysInfo.GetSiteCount();
    grdLocation->Clear();
    grdLocation->SetMaxCol(1);
    grdLocation->SetColWidth(1, grdLocation->width());
    grdLocation->SetTextA(0, 1, "Location");
    grdLocation->SetMaxRow(n);
    for (int i = 1; i <= n; ++i) {
        grdLocation->SetTextA(i, 1, SysInfo.GetSiteName(i));
        grdLocation->SetTag(i, i);
    }
}

void TfrmQVOpen::Reload() {
    LoadRecord();
    FillList();
    const int n = grdLocation->GetMaxRow();
    if (CurrentRow == 0) CurrentRow = std::max(0, SysInfo.GetLastSite());
    grdLocation->SetSelRow(std::min(CurrentRow, n));
    QDir dir(QString::fromStdString(Folder));
    if (!dir.exists("Option")) dir.mkdir("Option");
    CoupleScroll();
    grdLocation->update();
}

void TfrmQVOpen::CoupleScroll() {
    flsLocation->SetMin(1);
    flsLocation->SetMax(std::max(1, grdLocation->GetMaxRow()));
    flsLocation->SetPS(grdLocation->GetPs());
    flsLocation->SetValue(grdLocation->GetDspTop());
    flsLocation->update();
}

void TfrmQVOpen::ScrollToList() {
    grdLocation->SetDspTop(flsLocation->GetValue());
    CurrentRow = grdLocation->GetSelRow();
    grdLocation->update();
}

bool TfrmQVOpen::RunEditor() {
    if (!Editor) return false;
    Editor->Result = 0;
    Editor->NameFits = [](const std::string& name) { return TSysInfo::NameFits(name); };
    ShowEditor();
    return Editor->Result == 1;
}

bool TfrmQVOpen::NameInUse(const std::string& name) const {
    for (int i = 1; i <= SysInfo.GetSiteCount(); ++i)
        if (SysInfo.GetSiteName(i) == name) return true;
    return false;
}

void TfrmQVOpen::KeepHorizon(const std::string& oldName, const std::string& newName,
                             const std::string& file) {
    THorizonSites sites;
    std::string why;
    if (!sites.Load(Folder, why)) {
        Ask(2, why);
        return;
    }
    const auto before = sites.Files;
    // Another site of the old name keeps the file.
    if (oldName != newName && !NameInUse(oldName)) sites.Set(oldName, "");
    sites.Set(newName, file);
    if (sites.Files == before) return; // nothing to write
    if (!sites.Save(Folder, why)) Ask(2, why);
}

static TSite FromEditor(const TfrmLocation& e) {
    TSite s;
    s.Name = e.Name;
    s.Lng = e.Lng;
    s.Lat = e.Lat;
    s.Height = e.Height;
    s.DiffUT = e.DiffUT;
    s.Summer = std::trunc(e.Summer);
    return s;
}

void TfrmQVOpen::flbAddMouseDown() {
    const int n = SysInfo.GetSiteCount();
    if (n >= TSysInfo::kMaxSites) {
        Ask(2, "Can not add");
        return;
    }
    if (!Editor) return;
    Editor->Mode = 1;
    Editor->HorizonFile.clear();
    if (!RunEditor()) return;
    if (!SysInfo.AddSite(FromEditor(*Editor))) {
        Ask(2, "Can not add");
        return;
    }
    SaveRecord();
    if (!Editor->HorizonFile.empty()) KeepHorizon("", Editor->Name, Editor->HorizonFile);
    grdLocation->SetMaxRow(n + 1);
    grdLocation->SetTextA(n + 1, 1, SysInfo.GetSiteName(n + 1));
    grdLocation->SetTag(n + 1, n + 1);
    grdLocation->SetSelRow(n + 1);
    CurrentRow = n + 1;
    grdLocation->update();
    CoupleScroll();
}

void TfrmQVOpen::flbEditMouseDown() {
    const int n = SysInfo.GetSiteCount();
    if (n < 1 || grdLocation->GetMaxRow() < 1 || !Editor) return;
    const int no = grdLocation->GetTag(grdLocation->GetSelRow());
    if (no < 1 || no > n) return;
    TSite s = SysInfo.GetSite(no);
    Editor->Mode = 2;
    Editor->Name = s.Name;
    Editor->Lng = s.Lng;
    Editor->Lat = s.Lat;
    Editor->Height = s.Height;
    Editor->DiffUT = s.DiffUT;
    Editor->Summer = s.Summer;
    {
        THorizonSites sites;
        std::string why;
        sites.Load(Folder, why);
        Editor->HorizonFile = sites.Get(s.Name);
    }
    if (!RunEditor()) return;
    if (!SysInfo.SetSite(no, FromEditor(*Editor))) {
        Ask(2, "The name is too long or has characters that can not be saved");
        return;
    }
    KeepHorizon(s.Name, SysInfo.GetSiteName(no), Editor->HorizonFile);
    for (int row = 1; row <= grdLocation->GetMaxRow(); ++row)
        if (grdLocation->GetTag(row) == no) grdLocation->SetTextA(row, 1, SysInfo.GetSiteName(no));
    SaveRecord();
    grdLocation->update();
}

void TfrmQVOpen::flbDeleteMouseDown() {
    const int n = SysInfo.GetSiteCount();
    if (n < 1 || grdLocation->GetMaxRow() < 1) return;
    if (Ask(1, "Delete Ok?") != kYes) return;
    const int no = grdLocation->GetTag(grdLocation->GetSelRow());
    if (no < 1 || no > n) return;
    const std::string gone = SysInfo.GetSiteName(no);
    SysInfo.DeleteSite(no);
    SaveRecord();
    if (!NameInUse(gone)) KeepHorizon(gone, gone, "");
    Reload();
}

void TfrmQVOpen::flbOkMouseDown() {
    if (grdLocation->GetMaxRow() < 1) return;
    SysInfo.SetLastSite(grdLocation->GetSelRow());
    // Saved at once: every showing reloads the record from the file, so a
    // row kept only in memory would be lost at the next "Setting".
    SaveRecord();
    Choose();
}

void TfrmQVOpen::Choose() {
    if (grdLocation->GetMaxRow() < 1) return;
    const int no = grdLocation->GetTag(grdLocation->GetSelRow());
    if (no < 1 || no > SysInfo.GetSiteCount()) return;
    CurrentSite = SysInfo.GetSite(no);
    CurrentRow = grdLocation->GetSelRow();
    if (FirstStart) {
        FirstStart = false;
        if (ShowChart) ShowChart();
        hide();
    } else {
        accept();
    }
}

void TfrmQVOpen::AppException(int no, const std::string& message) {
    Ask(2, ErrorText(no, message));
    AppendErrLog(Folder, no, message);
    close();
    if (Terminate) Terminate();
}
