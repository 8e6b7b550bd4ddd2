// Quenlira III: program entry. One instance at a time; every window is
// created once, in a fixed order, and lives until the program ends.
#include "app/Clscmdline.h"
#include "app/Clsdesk.h"
#include "app/Nightstyle.h"
#include "app/Errhandler.h"
#include "app/Forms.h"
#include "app/Qvkeyhelp.h"
#include "app/Qvlists.h"
#include "app/Qvlog.h"
#include "app/Qvmes.h"
#include "app/Qvopen.h"
#include "app/Qvplan.h"
#include "plan/Clshorizonsites.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "app/Qvscope.h"
#include "app/Qvselobj.h"
#include "app/Qvsky.h"
#include "app/Qvskylog.h"
#include "app/Singleinst.h"
#include "catalog/Clsfolders.h"
#include "navi/Qvzorede.h"
#include "obslog/Clslogdb.h"
#include "obslog/Clsobslog.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Qvcommander.h"
#include "party/Qvdir.h"
#include "party/Qvsetparty.h"
#include "site/Qvlocation.h"

#include <QDir>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QFileDialog>
#include <QShortcut>
#include <QMessageBox>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The chart window reaches the opening window, the settings record and the
// other windows through these.
void WireChart(TfrmQVSKY& sky) {
    sky.Ask = [](int b, const std::string& t) { return QVMes(b, t); };
    sky.CurrentSite = [](double& lng, double& lat, double& height, double& diff, double& summer,
                         std::string& name) {
        const TSite& s = frmQVOpen->CurrentSite;
        lng = s.Lng;
        lat = s.Lat;
        height = s.Height;
        diff = s.DiffUT;
        summer = s.Summer;
        name = s.Name;
    };
    sky.ChooseSite = [] { return frmQVOpen->exec() == QDialog::Accepted; };
    sky.LoadMemories = [](TfrmQVSKY::TMemory(&mem)[10]) {
        TfrmQVSKY::MemoriesFrom(frmQVOpen->SysInfo, mem);
    };
    sky.SaveMemories = [](const TfrmQVSKY::TMemory(&mem)[10], std::string& why) {
        TfrmQVSKY::MemoriesInto(frmQVOpen->SysInfo, mem);
        return frmQVOpen->SysInfo.Save(frmQVOpen->Folder, why);
    };
    sky.ShowKeyHelp = [] {
        frmKeyHelp->show();
        frmKeyHelp->raise();
    };
    sky.OnClosed = [] {
        frmQVOpen->close();
        qApp->quit();
    };
    // F4 / "GoTo": the navigation window, at the chart's site; a reference
    // star takes the chart's moment when "Std Star" is pressed.
    frmZorede->ChartMjd = [&sky] { return sky.Mjd.GetMJD(); };
    sky.OpenNavigation = [&sky](double ra, double dec, double mjd, const std::string& name) {
        frmZorede->Navigate(sky.Location, ra, dec, mjd, name);
    };
}

// The star party: the commander reads the chart window's view at each press,
// and OK in the party settings shows or hides the chart window's "COM".
void WireParty(TfrmQVSKY& sky) {
    auto mes = [](int b, const std::string& t) { return QVMes(b, t); };
    frmDir->Ask = mes;
    frmSetParty->Ask = mes;
    frmSetParty->Dir = frmDir;
    frmSetParty->ShowCommand = [&sky](bool visible) { sky.labCommand->setVisible(visible); };
    frmCommander->Party = &frmSetParty->Stored;
    frmCommander->View = [&sky] {
        TPartyView v;
        v.Ra = sky.CenterRa;
        v.Dec = sky.CenterDec;
        v.ObjKind = sky.PicKind;
        v.ObjNo = sky.PicIndex;
        v.Scale = sky.Scale;
        v.AutoDrive = sky.AutoDrive ? 1 : 0;
        v.Year = sky.clkCal->GetYear();
        v.Month = sky.clkCal->GetMonth();
        v.Day = sky.clkCal->GetDay();
        v.Hour = sky.clkCal->GetHour();
        v.Minute = sky.clkCal->GetMinute();
        v.Sens = sky.Sensitivity;
        for (int k = 0; k < 8; ++k)
            v.Disp[k] = sky.Switch[k];
        return v;
    };
    sky.labCommand->OnMouseDown = [](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        frmCommander->exec();
    };
    sky.ShowPartySettings = [&sky] {
        frmSetParty->exec();
        sky.PartyStatus();
    };
    // A receiving station follows the commander's files.
    sky.Party = &frmSetParty->Stored;
    sky.SaveParty = [](std::string& why) {
        return frmSetParty->Stored.Save(frmSetParty->SettingsPath(), why);
    };
    sky.CloseNavigation = [] {
        if (frmZorede->isVisible()) frmZorede->flbCloseMouseDown();
    };
    // The party settings of the last run (a damaged file is reported here).
    frmSetParty->LoadSettings();
    // The chart window hides "COM" when it is first shown; a station left in
    // commander mode gets it back right after.
    const auto show = frmQVOpen->ShowChart;
    frmQVOpen->ShowChart = [show, &sky] {
        show();
        sky.labCommand->setVisible(frmSetParty->Stored.Mode == 3);
    };
}

// The telescope window works for the chart window: the selected object is
// its target, and the mount's place is drawn on the charts.
void WireTelescope(TfrmQVSKY& sky) {
    sky.MountPlace = [](double& ra, double& dec) { return frmScope->MountPlace(ra, dec); };
    sky.MountName = [] { return frmScope->DeviceName(); };
    // A window of the chart's (a dialog to the window manager): it stays in
    // front of it, a chart at full screen included.
    frmScope->setParent(&sky, Qt::Dialog);
    sky.ShowTelescope = [] {
        frmScope->show();
        frmScope->raise();
        frmScope->activateWindow();
    };
    frmScope->Target = [&sky](std::string& name, double& ra, double& dec, double& altitude) {
        return sky.TelescopeTarget(name, ra, dec, altitude);
    };
    frmScope->Ask = [](int b, const std::string& t) { return QVMes(b, t); };
    frmScope->MountMoved = [&sky] { sky.UpdateMountMark(); };
    sky.TelescopeGoto = [&sky](const std::string& name, double ra, double dec, double alt) {
        double r, d;
        if (!frmScope->MountPlace(r, d)) return; // no telescope: nothing to say
        std::string why;
        if (frmScope->CommanderGoto(name, ra, dec, alt, why))
            sky.PartyLog("GOTO: the telescope slews to " + name);
        else
            sky.PartyLog("GOTO: the telescope stays: " + why);
    };
    auto* key = new QShortcut(QKeySequence("Ctrl+T"), &sky);
    QObject::connect(key, &QShortcut::activated, [&sky] { sky.ShowTelescope(); });
}


// The observing lists and log: the chart's selected object goes to a list
// (Ctrl+L) or into the log (Ctrl+J) at the clock's moment, or now in auto
// drive; a list's row centres the chart. Ctrl+Shift+L and Ctrl+Shift+J
// show the two windows.
void WireLog(TfrmQVSKY& sky, TfrmLists& lists, TfrmLog& log, TLogDb* db, const std::string& why) {
    const auto nowMjd = [] { return Clock().NowMjd(); };
    lists.Now = nowMjd;
    lists.Site = [&sky](TLocation& site, double& zone) {
        site = sky.Location;
        zone = sky.DiffUT + sky.Summer;
    };
    lists.OnChoose = [&sky](const TLogObject& o) {
        CentreChartOn(sky, o);
        sky.raise();
        sky.activateWindow();
    };
    lists.SetDatabase(db, why);
    log.SetDatabase(db, why);
    auto selected = [&sky](TLogObject& o) {
        if (SelectedLogObject(sky, o)) return true;
        sky.Ask(2, "Select a Object");
        return false;
    };
    auto showWindow = [](QWidget& w) {
        w.show();
        w.raise();
        w.activateWindow();
    };
    // Each command has its key and an entry in the chart window's menu.
    auto key = [&sky](const char* text, const char* seq, std::function<void()> f) {
        auto* k = new QShortcut(QKeySequence(seq), &sky);
        QObject::connect(k, &QShortcut::activated, f);
        sky.AddMenuEntry("Observing", text, seq, std::move(f));
    };
    key("Add the selected object to the list", "Ctrl+L", [&lists, selected] {
        TLogObject o;
        if (!selected(o)) return;
        // The list comes into view; the keyboard stays with the chart.
        if (!lists.isVisible()) {
            lists.setAttribute(Qt::WA_ShowWithoutActivating);
            lists.show();
            lists.setAttribute(Qt::WA_ShowWithoutActivating, false);
        }
        lists.AddObject(o);
    });
    key("Observing lists...", "Ctrl+Shift+L", [&lists, showWindow] {
        lists.Refresh();
        showWindow(lists);
    });
    key("Observing log...", "Ctrl+Shift+J", [&log, showWindow] {
        log.Refresh();
        showWindow(log);
    });
    key("Log the selected object...", "Ctrl+J", [&sky, &log, db, selected, nowMjd, showWindow] {
        TObservation o;
        if (!selected(o.Object)) return;
        const double mjd = sky.AutoDrive ? nowMjd() : sky.Mjd.GetMJD();
        o.Begin = std::llround((mjd - 40587.0) * 86400);
        o.UtcOffsetMin = static_cast<int>(std::lround((sky.DiffUT + sky.Summer) * 60));
        if (db) {
            // The chart's site, kept in the log once.
            TLogSite site;
            double h = 0, diff = 0, summer = 0;
            sky.CurrentSite(site.Lng, site.Lat, h, diff, summer, site.Name);
            site.Elevation = h;
            site.TimezoneMin = static_cast<int>(std::lround(diff * 60));
            TObsLog book(*db);
            for (const TLogSite& s : book.ReadAll().Sites)
                if (s.Name == site.Name && std::fabs(s.Lng - site.Lng) < 1e-9 &&
                    std::fabs(s.Lat - site.Lat) < 1e-9)
                    o.SiteId = s.Id;
            std::string err;
            if (!o.SiteId && !site.Name.empty()) o.SiteId = book.AddSite(site, err);
            // The observer and equipment of the last entry are the likeliest.
            const auto last = book.Entries();
            if (!last.empty()) {
                o.ObserverId = last.back().ObserverId;
                o.ScopeId = last.back().ScopeId;
                o.EyepieceId = last.back().EyepieceId;
                o.Magnification = last.back().Magnification;
            }
        }
        showWindow(log);
        log.NewEntry(o);
    });
}

// The night planner follows the chart window's site and clock while it is
// open; choosing a row is choosing it in the find field.
void WirePlanner(TfrmQVSKY& sky, TfrmLists& lists) {
    frmPlan = new TfrmQVPlan;
    frmPlan->SetFilterFolder(sky.UserFolder);
    auto feed = [&sky] {
        if (!frmPlan->isVisible()) return;
        TfrmQVPlan::TSky s;
        s.Site = sky.Location;
        s.Horizon = sky.SiteHorizon;
        s.Zone = sky.DiffUT + sky.Summer;
        s.ClockMjd = sky.Mjd.GetMJD();
        s.Star = sky.Star && sky.Star->Count > 0 ? sky.Star.get() : nullptr;
        s.Nebula = sky.Nebula && sky.Nebula->Count > 0 ? sky.Nebula.get() : nullptr;
        s.Constellation = sky.Constellation.get();
        s.Names = &sky.NameList;
        sky.MinorBodies(); // taken once their reading has finished
        s.Minor = sky.Minor;
        for (int i = 1; i <= sky.Atlas->GetMarkerCount(); ++i) {
            const TMarker& m = sky.Atlas->GetMarker(i);
            s.Markers.push_back({m.name, m.ra, m.dec, m.id});
        }
        frmPlan->SetSky(s);
    };
    sky.OnMomentChanged = feed;
    frmPlan->OnChoose = [&sky](const TPlanEntry& e) {
        TFindIndex::THit hit;
        // The planner's comets and asteroids are numbered as the list the
        // window has loaded, as the find field's are.
        static_assert(TPlanner::kMinorKind == TfrmQVSKY::kMinorKind);
        hit.Kind = e.Kind;
        hit.Number = e.Number;
        hit.Name = e.Name;
        hit.HasPlace = true;
        hit.Ra = e.Ra;
        hit.Dec = e.Dec;
        sky.ChooseFound(hit);
        sky.raise();
        sky.activateWindow();
    };
    // A row into the observing list shown in the list window, as Ctrl+L
    // puts the chart's selected object there.
    frmPlan->OnAddToList = [&sky, &lists](const TPlanEntry& e) {
        if (!lists.isVisible()) {
            lists.setAttribute(Qt::WA_ShowWithoutActivating);
            lists.show();
            lists.setAttribute(Qt::WA_ShowWithoutActivating, false);
        }
        lists.AddObject(PlanLogObject(e, sky.Nebula && sky.Nebula->Count > 0 ? sky.Nebula.get()
                                                                              : nullptr));
    };
    frmPlan->OnSetClock = [&sky](double mjd) {
        sky.SetClockTo(std::round(mjd * 1440.0) / 1440.0 + 1e-7);
    };
    // The site's horizon profile, kept in Horizons.txt beside the settings.
    frmPlan->OnChooseHorizon = [&sky, feed] {
        double lng, lat, height, diff, summer;
        std::string site;
        if (!sky.CurrentSite) return;
        sky.CurrentSite(lng, lat, height, diff, summer, site);
        const QString file = QFileDialog::getOpenFileName(
            frmPlan, "Horizon file for " + QString::fromStdString(site), QString(),
            "Horizon files (*.txt *.hzn *.csv);;All files (*)");
        if (file.isEmpty()) return;
        THorizon probe;
        std::string why;
        if (!probe.Load(file.toStdString(), why)) {
            // The site keeps the horizon it had.
            const std::string flat = "; the flat horizon is used";
            if (why.ends_with(flat)) why.resize(why.size() - flat.size());
            QVMes(2, why + "\nThe site keeps the horizon it had.");
            return;
        }
        THorizonSites sites;
        sites.Load(sky.UserFolder, why);
        sites.Set(site, file.toStdString());
        if (!sites.Save(sky.UserFolder, why)) QVMes(2, why);
        sky.LoadSiteHorizon(site);
        sky.RecomputeFromClock(false);
        feed();
    };
    const auto open = [feed] {
        frmPlan->show();
        frmPlan->raise();
        frmPlan->activateWindow();
        feed();
    };
    auto* key = new QShortcut(QKeySequence("Ctrl+Shift+T"), &sky);
    QObject::connect(key, &QShortcut::activated, open);
    sky.AddMenuEntry("Windows", "Tonight: night planner", "Ctrl+Shift+T", open);
}

} // namespace

// Resident memory of this process, MB.
double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1048576.0);
}

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    // --help and --version answer before Qt looks for a display.
    switch (TCmdLine::Parse(std::vector<std::string>(argv, argv + argc), false).Action) {
    case TCmdLine::Help:
        std::fputs(TCmdLine::Usage().c_str(), stdout);
        return 0;
    case TCmdLine::Version:
        std::fputs(TCmdLine::VersionText().c_str(), stdout);
        return 0;
    default:
        break;
    }
    TApplication app(argc, argv);
    // What Qt did not take as its own must be ours.
    TCmdLine cmd;
    {
        std::vector<std::string> left;
        for (const QString& a : QCoreApplication::arguments())
            left.push_back(a.toStdString());
        cmd = TCmdLine::Parse(left, true);
        if (cmd.Action == TCmdLine::Bad) {
            std::fprintf(stderr, "quenlira: %s\nTry 'quenlira --help'.\n", cmd.Message.c_str());
            return 2;
        }
    }
    QApplication::setApplicationName("Quenlira3");
    // The task bar's icon and the menu entry's match (StartupWMClass).
    QApplication::setDesktopFileName("quenlira");
    QApplication::setWindowIcon(QIcon(":/quenlira.png"));
    TNightStyle::Install();

    // The single-instance guard lives in the user's runtime (or temporary) folder.
    QString lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockFolder.isEmpty()) lockFolder = QDir::tempPath();
    TSingleInstance guard(lockFolder);
    if (!guard.Acquire()) {
        guard.AskToRaise();
        QMessageBox box(QMessageBox::NoIcon, "Quenlira3", "Already Run!", QMessageBox::Ok);
        box.exec();
        return 0;
    }

    // Beside the program, or for an installed copy the shared catalogues and
    // the user's data folder.
    const TFolders where = TFolders::Decide(QCoreApplication::applicationDirPath().toStdString(),
                                            std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!where.Error.empty()) {
        QMessageBox box(QMessageBox::NoIcon, "Quenlira3", QString::fromStdString(where.Error),
                        QMessageBox::Ok);
        box.exec();
        return 1;
    }
    const std::string folder = where.User;
    // The lists and log: a database that cannot be used is left alone and
    // the program goes on without them; the log says why.
    TLogDb logDb;
    std::string logWhy;
    TLogDb* logBook = &logDb;
    if (!logDb.Open(TLogDb::FileIn(folder), logWhy)) {
        logBook = nullptr;
        AppendErrLog(folder, 0, logWhy);
    }
    TfrmLists* frmLists = nullptr;
    TfrmLog* frmLog = nullptr;
    try {
        frmQVOpen = new TfrmQVOpen(folder);
        frmQVSKY = new TfrmQVSKY(where.Catalogs);
        frmQVSKY->UserFolder = folder;
        frmQVSKY->HorizonOverride = cmd.Horizon;
        frmQVSKY->LoadRings();
        // The atlas goes on without its deep star layer; the log says why.
        if (!frmQVSKY->DeepStarProblem.empty()) AppendErrLog(folder, 0, frmQVSKY->DeepStarProblem);
        frmSelObj = frmQVSKY->SelObj;
        frmLocation = new TfrmLocation;
        frmKeyHelp = new TfrmKeyHelp;
        frmQVMes = new TfrmQVMes;
        frmZorede = new TfrmZorede;
        frmCommander = new TfrmCommander;
        frmSetParty = new TfrmSetParty(folder);
        frmDir = new TfrmDir;
        frmScope = new TfrmScope(folder);
        frmLists = new TfrmLists;
        frmLog = new TfrmLog;
    } catch (const std::exception& e) {
        // Without the opening window (its settings file could not be made)
        // there is no handler: report and log here.
        if (TApplication::HasErrorHandler()) {
            TApplication::HandleError(0, e.what());
        } else {
            QVMes(2, ErrorText(0, e.what()));
            AppendErrLog(folder, 0, e.what());
        }
        return 0;
    }
    // Night vision from the last run (or --night) for every window from the first.
    TDesk desk;
    std::string deskWhy;
    const bool deskRead = desk.Load(folder, deskWhy);
    frmQVSKY->SetNightVision(desk.Night || cmd.Night);
    frmQVSKY->OnNightVision = [folder](bool on) {
        TDesk d;
        d.Night = on;
        std::string why;
        if (!d.Save(folder, why)) AppendErrLog(folder, 0, why);
    };
    if (!deskRead) {
        AppendErrLog(folder, 0, deskWhy);
        QVMes(2, deskWhy);
    }
    frmLocation->Ask = [](int b, const std::string& t) { return QVMes(b, t); };
    frmZorede->Ask = [](int b, const std::string& t) { return QVMes(b, t); };
    frmQVOpen->Editor = frmLocation;
    frmQVOpen->ShowChart = [] { frmQVSKY->show(); };
    WireChart(*frmQVSKY);
    WireParty(*frmQVSKY);
    WireTelescope(*frmQVSKY);
    WireLog(*frmQVSKY, *frmLists, *frmLog, logBook, logWhy);
    WirePlanner(*frmQVSKY, *frmLists);
    if (cmd.Telescope)
        frmScope->ConnectTo(cmd.TelescopeHost, cmd.TelescopePort, cmd.TelescopeDevice);

    // QUENLIRA_TIMING=1 reports how long the start takes, leaving out the
    // time the user spends choosing a site.
    if (qEnvironmentVariableIsSet("QUENLIRA_TIMING")) {
        static qint64 opened = 0, chosen = 0;
        QTimer::singleShot(0, [&started] {
            opened = started.elapsed();
            std::fprintf(stderr, "opening window shown: %lld ms after start\n",
                         static_cast<long long>(opened));
        });
        const auto show = frmQVOpen->ShowChart;
        frmQVOpen->ShowChart = [show, &started] {
            chosen = started.elapsed();
            show();
        };
        frmQVSKY->OnFirstDrawn = [&started] {
            const qint64 drawn = started.elapsed() - chosen;
            std::fprintf(stderr,
                         "charts drawn: %lld ms after the choice; start to charts without the "
                         "user's choice: %lld ms; resident memory %.1f MB\n",
                         static_cast<long long>(drawn), static_cast<long long>(opened + drawn),
                         ResidentMb());
        };
    }

    // A second start brings this instance's window (and any window open
    // over it) to the front.
    guard.Listen([] {
        QWidget* w = frmQVSKY->isVisible() ? static_cast<QWidget*>(frmQVSKY)
                                           : static_cast<QWidget*>(frmQVOpen);
        for (QWidget* top : {w, QApplication::activeModalWidget()}) {
            if (!top) continue;
            if (top->isMinimized()) top->showNormal();
            top->raise();
            top->activateWindow();
        }
    });

    frmQVOpen->show();
    app.exec();
    guard.Release();
    return 0;
}
