// TfrmQVSKY: the chart window. It owns the bodies, both catalogues, both
// charts, the observing site and the displayed moment, and decides when each
// chart is recomputed and drawn: the calendar clock, the 20-second real-time
// tick, the view history, memories and the change of site all end in one
// recomputation. Left: the planisphere, the clock, the Moon, the search
// lists, the display switches and memories, the object information. Right:
// the atlas, growing with the window, with zoom, sensitivity and read-out.
//
// The window is spread over several sources: Qvsky.cpp (layout, showing,
// the redraw cycle, paint), Qvskykeys.cpp (keys, mouse, history, full
// screen, change of site, navigation start), Qvskyinfo.cpp (the object
// information memo and picture), Qvskydisp.cpp (display switches, memories,
// option files).
#pragma once

#include "app/Clshistory.h"
#include "app/Clssearchlist.h"
#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsfind.h"
#include "minor/Minorlist.h"
#include "minor/Minorsettings.h"
#include "minor/Minorsky.h"
#include "catalog/Clsnames.h"
#include "plan/Clshorizon.h"
#include "controls/Ctlbase.h"
#include "render/Clsdib.h"
#include "render/Clspalette.h"

#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <thread>
#include <memory>
#include <string>
#include <vector>

class TSysInfo;

class QAction;
class QLabel;
class QMenu;
class QPainter;
class QPlainTextEdit;
class TAtlas;
class TCalClock;
class TConstellation;
class TFindField;
class TFlatScroll;
class TFocusArrow;
class TFocusControl;
class TFrameLabel;
class THayami;
class TNebula;
class TPartySettings;
struct TPartyOrder;
struct TPartyPlan;
class TPartyReceiver;
class TPartyStatus;
struct TPartyView;
class TPlanet;
class TSelGrid;
class TStar;
class TfrmSelObj;
struct TBodySet;

class TfrmQVSKY : public QWidget {
public:
    // folder: the program folder with the catalogues. screen: the screen size
    // the atlas raster is made for (empty: the screen the window opens on).
    explicit TfrmQVSKY(const std::string& folder, QSize screen = QSize(),
                       QWidget* parent = nullptr);
    ~TfrmQVSKY() override;

    // Layout of the left column and the strip under the atlas.
    static constexpr int kLeftWidth = 281;
    static constexpr int kHayamiSize = 280;
    static constexpr int kStripHeight = 20;
    // Below this height the left side takes two columns (see LayoutControls).
    static constexpr int kOneColumnHeight = 880;
    static constexpr int kObjInfoW = 93, kObjInfoH = 75;
    static constexpr int kNameWidth = 160; // the object's name under or beside its picture
    static constexpr int kMoonSize = 45;

    // Replaces the four timers (tests put stepped ones in before showing).
    void SetTimers(const std::function<std::unique_ptr<TRepeatTimer>()>& make);

    // ---- the window's operations ----
    void ApplySite();
    void RecomputeFromClock(bool record);
    void RedrawAtlas(bool record);
    void RedrawPlanisphere();
    void DrawMoonPhase();
    void GoNow();
    double ShowNow();
    // A stored moment on the clock: an MJD in stepped time, 0 in auto drive
    // (then now); the charts are not redrawn.
    void ShowMoment(double mjd);
    void ShowTimeDifference();
    void UpdatePointer(double ra, double dec);
    void ZoomIn();
    void ZoomOut();
    void SetSensitivity(int value, bool redraw);
    void SetFocusArea(int area);
    void HistoryBack();
    void HistoryForward();
    void ToggleFullScreen();
    void ChangeSite();
    void StartNavigation();
    // The object information: kind 0 site, 1 click point, 2 star, 3 body,
    // 4 deep-sky object, 5 satellite of Jupiter, 99 the empty picture.
    void ShowObjectInfo(int kind, int index);
    // The memo for a comet or an asteroid (its index in MinorBodies()).
    void ShowMinorInfo(int index);
    // The object the memo shows is the charts' target (kind 0: none; a place
    // for kind 1 and comets); both charts are drawn again when it changed.
    void ChooseTarget(int kind, int number, double ra = 0.0, double dec = 0.0);
    std::array<double, 4> TargetChosen = {0, 0, 0, 0}; // kind, number, ra, dec
    void DrawObjectPicture(int kind, const std::string& name, int realistic, int index);
    void RefreshObjectPicture();
    // After the moment changed: the memo of a body written for the new
    // moment, and that of a star, deep-sky object or click point when the
    // date changed.
    void FollowMoment();
    int MemoKind = 0, MemoIndex = 0;   // what the memo shows (-1: no object's text)
    std::array<int, 3> MemoDate = {};  // the local date it was written for
    // A click on the picture: the object's information again, the atlas on it.
    void ObjectPictureClick();

    // ---- view state ----
    double CenterRa = 0.0, CenterDec = 0.0;
    int Sensitivity = 0;
    int Scale = 1000;
    int Switch[8] = {1, 1, 0, 0, 1, 0, 1, 1};
    bool AutoDrive = true;
    double DiffUT = 0.0;
    int Summer = 0;
    int FocusArea = 5;
    bool FullScreen = false;
    QRect SavedBounds;
    int ScreenW = 0, ScreenH = 0;
    TViewHistory History;
    int AutoTicks = 0;  // 200 ms ticks of the real-time timer, to 100
    int Recomputes = 0; // full recomputations so far
    int AtlasDrawings = 0; // atlas drawings so far

    struct TMemory {
        int Use = 0;
        double Ra = 0.0, Dec = 0.0, Mjd = 0.0;
        int Scale = 0;
    };
    TMemory Mem[10];
    int MemMode = 2;    // 2 recall, 0 store armed, 1 clear armed
    int MemStored = -1; // slot shown in red until the next atlas redraw

    // Display switches and memories (Qvskydisp.cpp).
    void ToggleSwitch(int n);     // switch 1..8
    void MoveSwitchCursor(int n); // the cursor and its arrow to switch 1..8
    bool DispKey(int key);        // keys of the display-switch area
    void MemorySet();             // the "Set" label's left button, Insert
    void MemoryReset();           // its right or middle button, Delete
    void ChooseMemory(int slot);  // a slot's label or keypad 0-9
    // Reads the option files of the folder "Option" beside the program and
    // hands their objects to the atlas; what could not be read is shown once
    // in a message and written to the error log.
    void ReadOptionFiles();
    void BuildSave();
    std::vector<std::string> OptProblems;

    // Selected object (the information panel fills these).
    int PicKind = 0, PicIndex = 0;
    std::string PicName;
    std::string NaviName;
    double NaviRa = 0.0, NaviDec = 0.0;
    bool NaviBusy = false;

    int SearchTab = 1;
    int SwitchCursor = 1;

    // ---- owned objects ----
    TPalette Palette;
    std::unique_ptr<TBodySet> Bodies;
    std::unique_ptr<TConstellation> Constellation;
    std::unique_ptr<TPlanet> Planet;
    TDIB ObjDib;
    std::vector<std::string> OptTitle; // option-file titles
    std::vector<int> OptSort;
    int OptCount = 0;
    TLocation Location;
    TMjd Mjd;
    std::unique_ptr<THayami> Hayami;
    std::unique_ptr<TAtlas> Atlas;
    std::shared_ptr<TStar> Star;
    // The deep star layer (Tycho.dat), null when missing or damaged; then
    // DeepStarProblem says why, for the error log.
    std::shared_ptr<TStar> DeepStar;
    std::string DeepStarProblem;
    std::unique_ptr<TNebula> Nebula;
    std::string CatalogProblem; // why a catalogue is missing, shown in the memo
    // The folder of the user's files (settings, the folder Option); the
    // catalogue folder unless the program is installed.
    std::string UserFolder;
    // The observer's horizon of the current site: --horizon's file when
    // given (HorizonOverride), else the one the site keeps in Horizons.txt
    // beside the settings; flat without. HorizonProblem says why a file was
    // not taken (shown with the site).
    THorizon SiteHorizon;
    std::string HorizonOverride;
    std::string HorizonProblem;
    void LoadSiteHorizon(const std::string& siteName);
    void ToggleHorizon(); // the horizon line on the atlas, Ctrl+H
    // Field-of-view rings about the atlas's centre (Qvskyrings.cpp): the list
    // and whether it shows are kept in Rings.txt beside the settings (the
    // Telrad rings, hidden, until the user changes them). Ctrl+R shows or
    // hides them; EditRings changes the list through EditRingsText, which
    // tests replace (false: cancelled). A file that cannot be written is
    // said, and the rings stay as asked for this session.
    void LoadRings();
    void ToggleRings();
    void EditRings();
    std::function<bool(std::string& text, bool& shown)> EditRingsText;
    std::string RingsText;
    bool RingsShown = false;

    // ---- controls ----
    QRect shpHayami, shpAtlas, shpObjInfo, shpMoon;
    TCalClock* clkCal;
    TFrameLabel *labNow, *labSet, *labNavi, *labCommand, *shpFullScreen;
    QLabel *labTimeDiff, *labMoonAge;
    TFrameLabel *labTab[4], *labMenu[9];
    TSelGrid* grdSearch;
    TFlatScroll* flsSch;
    TFrameLabel* labCNTL[8];
    TFrameLabel* labMem[10];
    TFrameLabel *labMemSet, *labBack, *labForward;
    QPlainTextEdit* memInfo;
    QLabel* labObjName;
    TFrameLabel *labZoomIn, *labZoomOut, *labSensDec, *labSensInc;
    QLabel* labSensTitle;
    TFrameLabel* labSens[11]; // -5 .. +5
    QLabel *labRA, *labDc, *labAZI, *labALT;
    TFocusArrow *fcaSearch, *fcaDisp, *fcaInfo, *fcaAtlas;
    TFocusControl *fcsDisp, *fcsAtlas;
    bool PointerShown = false;
    QPoint PointerAt; // centre of the pointer mark, window coordinates

    std::unique_ptr<TRepeatTimer> timResize, timRedraw, timAutoDraw, timGoNavi;

    // Shows the navigation window (ra, dec of date, MJD, name); set by the
    // program once that window exists.
    std::function<void(double ra, double dec, double mjd, const std::string& name)> OpenNavigation;
    // Message window (button set, text) -> result.
    std::function<int(int buttons, const std::string& text)> Ask;
    // Shows the opening window modally for a change of site; true when a site was chosen.
    std::function<bool()> ChooseSite;
    // The opening window's current site and settings record.
    std::function<void(double& lng, double& lat, double& height, double& diffUT, double& summer,
                       std::string& name)>
        CurrentSite;
    // The memories as the settings record keeps them, and back into it.
    static void MemoriesFrom(const TSysInfo& r, TMemory (&mem)[10]);
    static void MemoriesInto(TSysInfo& r, const TMemory (&mem)[10]);
    // Reads the memories from, and writes them back to, the settings record;
    // the writer returns false with a reason when the record cannot be saved.
    std::function<void(TMemory (&mem)[10])> LoadMemories;
    std::function<bool(const TMemory (&mem)[10], std::string& why)> SaveMemories;
    // Shows the key help window.
    std::function<void()> ShowKeyHelp;
    // Shows the star-party settings (F10).
    std::function<void()> ShowPartySettings;
    // Ctrl+S (Qvskysave.cpp): the atlas, the planisphere or both side by side
    // as a PNG picture, or as pages to print (PDF, SVG). ChooseSaveFile asks
    // for the file and sets the type chosen (one of SaveFilters()) and
    // SaveChoice; an empty name cancels. Tests replace it.
    std::function<QString(QString& filter)> ChooseSaveFile;
    static QStringList SaveFilters();
    // What the dialog asks besides the file: a picture drawn anew Enlarge
    // times as large as shown (1 to 4); a page's paper, turn and colours.
    struct TSaveChoice {
        int Enlarge = 1;
        std::string Paper = "a4";
        bool Landscape = true;
        bool ScreenColours = false;
    };
    TSaveChoice SaveChoice;
    // The largest side of a picture drawn anew, in pixels.
    static constexpr int kLargestPicture = 8000;
    // Writes the charts `filter` names to `path`: as PNG, PDF or SVG by the
    // ending of `path`, or when it has none by `filter` (its ending then
    // added); false with the reason in `why`, an existing file untouched.
    bool SaveCharts(const QString& path, const QString& filter, std::string& why);
    void SaveChartsKey();
    // After the memories were saved on closing: ends the program.
    std::function<void()> OnClosed;
    // After the first charts were drawn (start-up measurements).
    std::function<void()> OnFirstDrawn;
    // After every change of the displayed moment or site (the planner follows).
    std::function<void()> OnMomentChanged;
    // Sets the calendar clock to a local moment and redraws (the planner's
    // "clock to the best time").
    void SetClockTo(double mjd);

    // Whether the window is maximised (tests may stand in for the window manager).
    std::function<bool()> IsMaximized;

    // Key handling shared by the areas; true when the key was used.
    bool FunctionKey(int key, int area);
    void AtlasKey(int key, Qt::KeyboardModifiers mods);
    void ClockKey(int& key);
    // Mouse on the charts, window coordinates.
    void ChartMouseMove(QPoint p);
    void ChartMousePress(QPoint p, Qt::MouseButton b);
    void ChartMouseRelease(QPoint p, Qt::MouseButton b);
    // The wheel over the atlas (angle in eighths of a degree, 120 a notch):
    // zooms about the pointer, the sky point under it staying there.
    void AtlasWheel(QPoint p, int angleDelta);
    // One atlas drawing for a burst of view changes, once the waiting events
    // are handled; with `record` it adds a history entry.
    void ScheduleAtlasRedraw(bool record);
    // ---- search lists and the pick pop-up (Qvskysearch.cpp) ----
    void SelectTab(int n);
    void FillSearchList(int tab, int menu);
    void ChooseSearchRow(int tag);
    // Where the chart centres Jupiter's satellite 11-14 at the displayed moment.
    void SatellitePlace(int number, double& ra, double& dec);
    void SearchKey(int& key, Qt::KeyboardModifiers mods);
    // Objects under an atlas pixel in the pop-up (right-button release).
    void PickObjects(int x, int y);
    // The pop-up's choice, once the chart window is active again.
    void ShowPickedObject();
    // Centres the atlas on the Moon and shows it (a click on the Moon picture).
    void MoonPictureClick();
    int SearchMenu[4] = {1, 1, 1, 1};
    int SearchAppearance[4][9] = {};
    // The tab and menu whose rows the list shows (0: none yet).
    int ListTab = 0, ListMenu = 0;
    TSearchList SearchRows; // the list shown
    QWidget* shpTabDsp;
    TfrmSelObj* SelObj; // the pick pop-up (a window of its own)

    double MoonAgeDays = 0.0;
    const QImage& MoonPicture() const { return moonImage_; }

    // ---- the find field (Qvskyfind.cpp) ----
    // Ctrl+F anywhere, "/" in the atlas: the field over the top of the left
    // column; Escape gives the keyboard back to the area that had it.
    void OpenFind();
    // The suggestions for a text, with the bodies' magnitudes of the moment.
    std::vector<TFindIndex::THit> FindSuggestions(const std::string& text);
    // What choosing from a search list does: the information and picture,
    // the atlas centred on it, one history entry.
    void ChooseFound(const TFindIndex::THit& hit);
    // The name index, built once after the first charts are drawn.
    void BuildFindIndex();
    TFindIndex Names;
    // The names beside the catalogues (Names.txt) with the stars' Hipparcos
    // numbers (Starhip.dat), read with the catalogues.
    TNameList NameList;
    void ReadNameList();
    TFindField* edtFind = nullptr;
    int FindReturnArea = 5;
    // Why the Hipparcos numbers (Starhip.dat) could not be read, for the log.
    // Comets and asteroids of the folder Minor/ beside Option/, read on a thread of their
    // own once the first charts are drawn; null until then (or without the folder).
    const TMinorList* MinorBodies();
    // Reads the folder Minor/ afresh, off the window's thread; the charts are drawn again
    // once it is read. Closing the window stops a read under way.
    void LoadMinorBodies();
    std::shared_ptr<TMinorList> Minor;
    static constexpr int kMinorKind = 8; // a find hit of a comet or asteroid

    // ---- comets and asteroids on the charts (Qvskyminor.cpp) ----
    // Shown or not (Ctrl+M and the menu), the download address and the track's reach,
    // kept in Minor.txt beside the settings.
    TMinorSettings MinorSet;
    void ReadMinorSettings();
    void SaveMinorSettings();
    void ToggleMinor();
    // The track of the comet or asteroid the memo shows, on and off (Ctrl+K).
    void ToggleTrack();
    int TrackIndex = -1; // the body whose track is drawn, -1 none
    TMinorSky MinorSky;
    std::vector<TMinorSky::TTrackPoint> MinorTrackPoints;
    // Before either chart is drawn: the bodies brighter than the charts' limits at the
    // displayed moment, and the track, handed to both charts.
    void PrepareMinor();
    void BuildMinorMenu();
    std::string FindProblem, NamesProblem;

    // ---- star-party receiver (Qvskyparty.cpp) ----
    // In Receiver mode the window looks into the shared folder every 2 s for
    // the commander's files addressed to this station and applies them.
    TPartySettings* Party = nullptr; // the settings in force (set by the program)
    // Writes Party to "StarParty.dat"; false with the reason.
    std::function<bool(std::string& why)> SaveParty;
    // Closes the navigation window if it is open (a STOP command).
    std::function<void()> CloseNavigation;
    static constexpr int kPartyPoll = 2000; // ms
    void SetPartyTimer(std::unique_ptr<TRepeatTimer> timer);
    // A tick: starts a look into the folder unless the last one still runs.
    void PartyPoll();
    bool PartyPollRunning() const { return partyBusy_; }
    int PartyPollsSkipped = 0;
    // On the window's thread: applies the few steps a look decided on, in
    // order, and keeps its mark. folder and id: what the look was made for.
    void PartyApply(const TPartyPlan& plan, const std::string& folder, const std::string& id);
    // One command; false with the reason when it was skipped.
    bool PartyApplyOrder(const TPartyOrder& order, std::string& why);
    void PartySync(const TPartyView& v);
    bool PartyGoto(int kind, int number, std::string& why);
    std::string PartyLogPath() const;
    void PartyLog(const std::string& line);
    // Receiver.log moves to Receiver.log.1 when it would pass this size.
    std::size_t PartyLogCap = 256 * 1024;
    void PartyStatus();
    // The station's own status file in the shared folder is rewritten at most
    // this often (ms).
    static constexpr int kPartyStatusEvery = 5000;
    QLabel* labParty = nullptr; // "Receiver: <ID>, last command <time>"
    std::unique_ptr<TRepeatTimer> timParty;

    // Night vision: both charts, their pictures and the Moon in reds by
    // brightness, and every window of the program red on black (F12 and the
    // menu). OnNightVision keeps the choice for the next start.
    bool NightVision = false;
    void SetNightVision(bool on);
    std::function<void(bool on)> OnNightVision;

    // ---- the menu (Qvskymenu.cpp) ----
    // The "Menu" button under the clock opens it; each entry does what its
    // key does. MenuNamed gives the submenu of that title, made on first
    // use; other windows add their entries with AddMenuEntry (submenu, text,
    // the key shown beside it or "", what it does).
    QMenu* MenuNamed(const QString& title);
    QAction* AddMenuEntry(const QString& menu, const QString& text, const QString& key,
                          std::function<void()> act);
    void OpenMenu();
    QMenu* mnuMain = nullptr;
    TFrameLabel* flbMenu = nullptr;
    // What the window says when the pointer rests on a control or picture
    // without words of its own (position in window coordinates).
    QString ToolTipAt(QPoint p) const;

    // ---- the telescope (Qvskyscope.cpp) ----
    // The mount's reported place of date while a telescope is connected, and
    // its device name; set by the program once the telescope window exists.
    std::function<bool(double& ra, double& dec)> MountPlace;
    std::function<std::string()> MountName;
    // A receiving station's GoTo hands the object to the telescope (name,
    // place of date, altitude).
    std::function<void(const std::string& name, double ra, double dec, double altitude)>
        TelescopeGoto;
    // Shows the telescope window (F11, Ctrl+T).
    std::function<void()> ShowTelescope;
    // Moves the red reticle of the mount on both charts to the place the
    // mount reports, repainting only around it; removes it when there is none.
    void UpdateMountMark();
    // The memo shows "Telescope": its place, altitude and azimuth.
    void ShowMountInfo();
    // The selected object for the telescope: its name, place of date and
    // altitude with refraction; false when there is nothing to point at.
    bool TelescopeTarget(std::string& name, double& ra, double& dec, double& altitude);
    bool MountOnAtlas = false, MountOnHayami = false;
    QPoint MountAtlasAt, MountHayamiAt; // reticle centres, window coordinates
    static constexpr int kReticle = 9;   // its radius, pixels

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void BuildControls();
    void BuildMenu();
    void SetToolTips();
    QAction* switchActions_[8] = {};
    QAction* nightAction_ = nullptr;
    QAction* ringsAction_ = nullptr;
    void BuildRings();
    // RingsText into the atlas; its unreadable lines are said (tell) or logged.
    void ApplyRings(bool tell);
    bool SaveRings(const std::string& text, std::string& why);
    QAction* minorAction_ = nullptr;
    QAction* trackAction_ = nullptr;
    // The thread reading the folder Minor/, and what it hands back.
    struct TMinorLoad;
    std::shared_ptr<TMinorLoad> minorJob_;
    std::thread minorThread_;
    void StopMinorLoad();
    void MinorLoaded();
    double trackMjd_ = 0.0;
    int trackBody_ = -1, trackDays_ = 0;
    // The sky point under an atlas pixel (window coordinates) with the
    // window's view; the centre that puts (ra, dec) under that pixel.
    void SkyUnder(QPoint p, double& ra, double& dec);
    void KeepUnder(QPoint p, double ra, double dec);
    void DragTo(QPoint p);
    QPoint dragFrom_;
    bool dragHeld_ = false, dragging_ = false;
    double dragRa_ = 0.0, dragDec_ = 0.0;
    int wheelRest_ = 0;
    bool atlasPending_ = false, atlasRecord_ = false;
    void BuildDispControls();
    void LayoutControls();
    void FitSearchColumns();
    bool TwoColumns = false;
    void WireTimers();
    void FirstShow();
    void SetClockColours(bool autoDrive);
    void ShowClockMoment();
    void RefreshMemoryLabels();
    void RefreshHistoryLabels();
    void RestoreView(const TViewHistory::Entry& entry, const TViewHistory::Entry& left);
    void AutoTick();
    double ClockMjd() const;
    void SetRasterImages();

    void BuildPartyControls();
    void BuildFindControls();
    void PaintMountMark(QPainter& p);
    bool MountMarkClick(QPoint p);

    std::string folder_;
    bool shown_ = false;
    bool partyBusy_ = false;
    // The look into the shared folder hands its result back only while the
    // window lives: the window says so under the link's lock when it goes.
    struct TPartyLink;
    std::shared_ptr<TPartyLink> partyLink_;
    void EndPartyLink();
    std::string partyFolderWhy_; // why the folder could not be read, last time
    std::string partyLogWhy_, partySaveWhy_; // why Receiver.log, StarParty.dat failed last
    std::string partyStatusWhy_;             // why the status file could not be written last
    std::string partyOther_;    // another station that writes this ID's status file
    std::string partyClock_;    // what the last command said of a commander's clock
    std::string partySkipped_;  // the last command file skipped, until one is applied
    std::string partyStation_;  // this station's mark in its status file
    std::vector<std::string> partyHandled_;
    std::vector<std::string> PartyTrouble() const;
    std::shared_ptr<TPartyReceiver> partyReceiver_;
    std::string partyFolder_; // the folder partyReceiver_ looks into
    // What the status file says: kept here, written by the look.
    std::shared_ptr<TPartyStatus> partyStatus_;
    std::string partyStatusWritten_; // its text when last written
    std::string partyStatusDisk_;    // the whole text last written into the folder
    std::int64_t partyOtherAt_ = 0;  // when another station's status file was last seen
    std::int64_t partyStatusAt_ = 0; // when (ms), by this station's clock
    QImage hayamiImage_, atlasImage_, objImage_, moonImage_;
};
