#include "app/Qvsky.h"
#include "plan/Clshorizonsites.h"
#include "catalog/Clsfolders.h"
#include "controls/Look.h"

#include "app/Nightstyle.h"
#include "app/Qvselobj.h"
#include "app/Skyrules.h"
#include "astro/Clsplanet.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsdeepstar.h"
#include "catalog/Clsstar.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Flatscroll.h"
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "controls/Selgrid.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "render/Clshayami.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <cmath>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kDark = RGBColor(128, 0, 0);
constexpr TColor kDarker = RGBColor(64, 0, 0);
constexpr TColor kBlack = RGBColor(0, 0, 0);

// A picture over the raster's own memory and colour table: no copy. At
// night every colour becomes a red as bright as its brightest part, so that
// faint things (the Milky Way) stay faint and visible.
QImage Wrap(TDIB& dib, bool night) {
    QImage img(dib.GetBits(), dib.GetWidth(), dib.GetHeight(), dib.GetStride(),
               QImage::Format_Indexed8);
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = dib.GetColTbl()[i];
        const QRgb c = qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
        table[i] = night ? TNightStyle::Red(c) : c;
    }
    img.setColorTable(table);
    return img;
}

QLabel* PlainLabel(QWidget* parent, const char* text) {
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    l->setPalette(pal);
    l->setFont(QFont("Arial", 8));
    return l;
}

} // namespace

TfrmQVSKY::TfrmQVSKY(const std::string& folder, QSize screen, QWidget* parent)
    : QWidget(parent), Bodies(std::make_unique<TBodySet>()),
      Constellation(std::make_unique<TConstellation>()), Planet(std::make_unique<TPlanet>()),
      UserFolder(folder), folder_(folder) {
    setWindowTitle("Quenlira III");
    SetWindowLook(this, 8);
    setMouseTracking(true);

    const bool given = screen.isValid();
    if (!given) {
        const QScreen* s = QGuiApplication::primaryScreen();
        screen = s ? s->size() : QSize(1024, 768);
    }
    ScreenW = screen.width();
    ScreenH = screen.height();

    Star = std::make_unique<TStar>(PathIn(folder, "Star.dat"));
    Nebula = std::make_unique<TNebula>(PathIn(folder, "Unsta.dat"));
    if (Star->Count > 0)
        DeepStar = TDeepStar::Open(PathIn(folder, TDeepStar::FileName), DeepStarProblem);
    if (Star->Count == 0)
        CatalogProblem +=
            "Star.dat: " + (Star->Error.empty() ? std::string("no stars") : Star->Error);
    if (Nebula->Count == 0) {
        if (!CatalogProblem.empty()) CatalogProblem += "\r\n";
        CatalogProblem +=
            "Unsta.dat: " + (Nebula->Error.empty() ? std::string("no objects") : Nebula->Error);
    }
    ReadNameList();
    Hayami = std::make_unique<THayami>(1, kHayamiSize, kHayamiSize);
    // The atlas raster covers the largest chart the screen allows, so a resize
    // never makes a new one.
    Atlas = std::make_unique<TAtlas>(1, std::max(1, ScreenW - kLeftWidth), std::max(1, ScreenH));
    // The horizon on the atlas, the site's own when it has one; Ctrl+H.
    Atlas->ShowHorizon = true;
    Atlas->Horizon = &SiteHorizon;
    Hayami->SetHorizon(&SiteHorizon); // the ground shaded up to it

    Ask = [](int, const std::string&) { return 10003; };
    IsMaximized = [this] { return isMaximized(); };

    BuildControls();
    BuildPartyControls();
    BuildFindControls();
    BuildMenu();
    SetToolTips();
    // The status line wraps a long reason; its whole text is also its tooltip.
    labParty->setWordWrap(true);
    labParty->installEventFilter(this);
    BuildSave();
    BuildRings();
    SetTimers([] { return std::make_unique<TQtRepeatTimer>(); });
    // The window opens within the screen's free area (less the frame a window
    // manager adds): 1280 x 900, where one column holds everything, or on a
    // larger screen four fifths of it, so that a 4K screen gets a real chart.
    QSize room = screen;
    if (!given) {
        const QScreen* s = QGuiApplication::primaryScreen();
        if (s) room = s->availableGeometry().size() - QSize(8, 32);
    }
    resize(std::clamp(std::max(1280, room.width() * 4 / 5), 640, std::max(640, room.width())),
           std::clamp(std::max(900, room.height() * 4 / 5), 480, std::max(480, room.height())));
    LayoutControls();
}

TfrmQVSKY::~TfrmQVSKY() {
    StopMinorLoad();
    EndPartyLink();
    delete SelObj;
}

void TfrmQVSKY::SetTimers(const std::function<std::unique_ptr<TRepeatTimer>()>& make) {
    timResize = make();
    timRedraw = make();
    timAutoDraw = make();
    timGoNavi = make();
    WireTimers();
}

void TfrmQVSKY::WireTimers() {
    timResize->OnTick = [this] {
        timResize->Stop();
        RedrawAtlas(false);
    };
    timRedraw->OnTick = [this] {
        timRedraw->Stop();
        RecomputeFromClock(false);
    };
    timAutoDraw->OnTick = [this] { AutoTick(); };
    timGoNavi->OnTick = [this] {
        timGoNavi->Stop();
        StartNavigation();
    };
}

void TfrmQVSKY::BuildControls() {
    auto frame = [this](const char* text, bool framed) {
        auto* f = new TFrameLabel(this);
        f->setFont(QFont("Arial", 8));
        f->SetAlignment(Qt::AlignHCenter);
        f->SetCF(framed ? kRed : kBlack);
        f->SetCB(kBlack);
        f->SetFontColor(kRed);
        f->SetCap(text);
        return f;
    };
    // Clicks on the chart window's labels first give the keyboard to the atlas.
    auto onPress = [this](TFrameLabel* f, std::function<void()> act, bool atlasFirst = true) {
        f->OnMouseDown = [this, act, atlasFirst](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers,
                                                 int, int) {
            if (atlasFirst) SetFocusArea(5);
            act();
        };
    };

    clkCal = new TCalClock(this);
    clkCal->OnChange = [this](QWidget*) {
        timRedraw->Stop();
        AutoDrive = false;
        SetClockColours(false);
    };
    clkCal->OnMouseUp = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        timRedraw->Start(300);
        ShowTimeDifference();
    };
    clkCal->OnKeyUp = [this](QWidget*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            timRedraw->Start(300);
            ShowTimeDifference();
        }
    };
    clkCal->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers) { ClockKey(key); };
    clkCal->OnEnter = [this](QWidget*) {
        if (FocusArea != 1) SetFocusArea(1);
    };

    labNow = frame("NOW", true);
    onPress(
        labNow, [this] { GoNow(); }, false);
    labTimeDiff = PlainLabel(this, "Auto Drive");
    labMoonAge = PlainLabel(this, "");
    labSet = frame("Setting", true);
    onPress(
        labSet, [this] { ChangeSite(); }, false);
    labNavi = frame("GoTo", true);
    labNavi->OnMouseUp = [this](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
        if (b == Qt::LeftButton) StartNavigation();
    };
    labCommand = frame("COM", true);
    shpFullScreen = frame("", true);
    onPress(
        shpFullScreen, [this] { ToggleFullScreen(); }, false);

    const char* tabs[4] = {"S.Sys", "M,NGC", "IC,etc", "Others"};
    for (int i = 0; i < 4; ++i) {
        labTab[i] = frame(tabs[i], true);
        labTab[i]->OnMouseDown = [this, i](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                           int) {
            SetFocusArea(2);
            SelectTab(i + 1);
        };
    }
    shpTabDsp = new QWidget(this);
    shpTabDsp->setAutoFillBackground(true);
    QPalette mark = shpTabDsp->palette();
    mark.setColor(QPalette::Window, QColor(255, 0, 0));
    shpTabDsp->setPalette(mark);
    for (int i = 0; i < 9; ++i) {
        labMenu[i] = frame("", false);
        labMenu[i]->SetAlignment(Qt::AlignLeft);
        labMenu[i]->SetFontColor(kCaptionOff);
        labMenu[i]->OnMouseDown = [this, i](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) {
            SetFocusArea(2);
            FillSearchList(SearchTab, i + 1);
        };
    }
    grdSearch = new TSelGrid(this);
    grdSearch->setFont(QFont("Arial", 8));
    grdSearch->SetRowHei(14);
    grdSearch->OnEnter = [this](QWidget*) {
        if (FocusArea != 2) SetFocusArea(2);
    };
    flsSch = new TFlatScroll(this);
    flsSch->SetFrCol(kRed);
    flsSch->SetArCol(kRed);
    flsSch->SetABCol(kDark);
    flsSch->SetBrCol(kRed);
    flsSch->SetBBCol(kDark);
    // The list and its scroll bar follow each other.
    grdSearch->OnChange = [this](QWidget*) {
        flsSch->SetValue(grdSearch->GetDspTop());
        flsSch->update();
    };
    flsSch->OnChange = [this](QWidget*) {
        grdSearch->SetDspTop(flsSch->GetValue());
        grdSearch->update();
    };
    grdSearch->OnMouseUp = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        if (grdSearch->GetMaxRow() > 0) ChooseSearchRow(grdSearch->GetTag(grdSearch->GetSelRow()));
    };
    SelObj = new TfrmSelObj;
    SelObj->OnClosed = [this] { QTimer::singleShot(0, this, [this] { ShowPickedObject(); }); };

    const char* names[8] = {"MilkyWay", "Constellation", "Bayer", "Flamsteed",
                            "StarName", "Nebula etc.",  "Grid",  "Realistic"};
    for (int i = 0; i < 8; ++i) {
        labCNTL[i] = frame(names[i], false);
        labCNTL[i]->SetAlignment(Qt::AlignLeft);
    }
    for (int i = 0; i < 10; ++i) {
        labMem[i] = frame(std::to_string(i).c_str(), true);
        labMem[i]->SetFontColor(kMemoryDigit);
    }
    labMemSet = frame("Set", true);
    labBack = frame("<", true);
    onPress(labBack, [this] { HistoryBack(); });
    labForward = frame(">", true);
    onPress(labForward, [this] { HistoryForward(); });

    memInfo = new QPlainTextEdit(this);
    memInfo->setReadOnly(true);
    memInfo->setFont(QFont("Arial", 8));
    memInfo->setFrameShape(QFrame::Box);
    // Its scroll bar, when the text is longer than the memo, in the same look.
    memInfo->setStyleSheet(
        "QPlainTextEdit { background: black; color: rgb(255,0,0); "
        "border: 1px solid rgb(255,0,0); }"
        "QScrollBar:vertical { background: black; width: 12px; margin: 12px 0; "
        "border: 1px solid rgb(255,0,0); }"
        "QScrollBar::handle:vertical { background: rgb(128,0,0); min-height: 12px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { background: black; "
        "border: 1px solid rgb(255,0,0); height: 11px; subcontrol-origin: margin; }"
        "QScrollBar::sub-line:vertical { subcontrol-position: top; }"
        "QScrollBar::add-line:vertical { subcontrol-position: bottom; }"
        "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical { width: 5px; "
        "height: 5px; background: rgb(255,0,0); }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: black; }");
    memInfo->installEventFilter(this);
    labObjName = PlainLabel(this, "");
    labObjName->setAlignment(Qt::AlignCenter);

    labZoomIn = frame("ZOOM IN", true);
    onPress(labZoomIn, [this] { ZoomIn(); });
    labZoomOut = frame("ZOOM OUT", true);
    onPress(labZoomOut, [this] { ZoomOut(); });
    labSensTitle = PlainLabel(this, " Sensitivity ");
    labSensDec = frame("-", true);
    onPress(labSensDec, [this] { SetSensitivity(-99, true); });
    labSensInc = frame("+", true);
    onPress(labSensInc, [this] { SetSensitivity(99, true); });
    for (int i = 0; i < 11; ++i) {
        const int v = i - 5;
        labSens[i] = frame("", true);
        labSens[i]->SetCB(v == 0 ? kDark : kBlack);
        onPress(labSens[i], [this, v] { SetSensitivity(v, true); });
    }
    labRA = PlainLabel(this, "RA:");
    labDc = PlainLabel(this, "Dc:");
    labAZI = PlainLabel(this, "AZI:");
    labALT = PlainLabel(this, "ALT:");
    for (QLabel* l : {labRA, labDc, labAZI, labALT})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto arrow = [this](int dir) {
        auto* a = new TFocusArrow(this);
        a->SetFCol(kRed);
        a->SetFBCol(kRed);
        a->SetDir(dir);
        a->hide();
        return a;
    };
    fcaSearch = arrow(3);
    fcaDisp = arrow(3);
    fcaInfo = arrow(3);
    fcaAtlas = arrow(5);

    fcsDisp = new TFocusControl(this);
    fcsDisp->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers) {
        if (FunctionKey(key, 3)) key = 0;
    };
    fcsAtlas = new TFocusControl(this);
    fcsAtlas->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers m) {
        AtlasKey(key, m);
        key = 0;
    };
    grdSearch->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers m) {
        SearchKey(key, m);
    };
    // Mouse moves over the labels on the atlas still reach the read-out.
    for (QWidget* w : findChildren<QWidget*>())
        w->setMouseTracking(true);
    BuildDispControls();
}

void TfrmQVSKY::LayoutControls() {
    const int w = width(), h = height();
    // One column of 281 pixels when the window is tall enough for all of it
    // with an information memo that holds every object's text; otherwise two
    // columns, the search list and the information beside the planisphere,
    // so that a short screen still reaches every control.
    TwoColumns = h < kOneColumnHeight;
    const int left = TwoColumns ? 2 * kLeftWidth : kLeftWidth;
    shpHayami = QRect(0, 0, kHayamiSize, kHayamiSize);
    clkCal->setGeometry(2, 284, 262, 42);
    labNow->setGeometry(2, 330, 36, 16);
    labTimeDiff->setGeometry(42, 330, 180, 16);
    labSet->setGeometry(2, 350, 48, 16);
    labNavi->setGeometry(54, 350, 40, 16);
    labCommand->setGeometry(98, 350, 34, 16);
    shpFullScreen->setGeometry(136, 350, 16, 16);
    labMoonAge->setGeometry(158, 350, 32, 16);
    flbMenu->setGeometry(192, 350, 36, 16);
    shpMoon = QRect(232, 328, kMoonSize, kMoonSize);

    // The search panel: under the clock, or at the top of the second column.
    const int sx = TwoColumns ? kLeftWidth : 0, sy = TwoColumns ? 2 : 378;
    for (int i = 0; i < 4; ++i)
        labTab[i]->setGeometry(sx + 9 + 45 * i, sy, 44, i + 1 == SearchTab ? 14 : 13);
    shpTabDsp->setGeometry(labTab[std::clamp(SearchTab, 1, 4) - 1]->x(), sy + 14, 44, 2);
    fcaSearch->setGeometry(sx + 196, sy, 12, 12);
    for (int i = 0; i < 9; ++i)
        labMenu[i]->setGeometry(sx + 2, sy + 16 + i * 14, 74, 14);
    grdSearch->setGeometry(sx + 78, sy + 16, 185, 126);
    flsSch->setGeometry(sx + 264, sy + 16, 14, 126);

    // Switches and memories: under the search panel, or under the clock.
    const int dy = TwoColumns ? 378 : 524;
    for (int i = 0; i < 8; ++i)
        labCNTL[i]->setGeometry(16, dy + i * 16, 96, 16);
    fcaDisp->setGeometry(2, dy + 2 + (SwitchCursor - 1) * 16, 12, 12);
    fcsDisp->setGeometry(0, dy, 1, 1);
    for (int i = 0; i < 10; ++i)
        labMem[i]->setGeometry(120 + (i % 5) * 30, dy + 2 + (i / 5) * 22, 26, 18);
    labMemSet->setGeometry(120, dy + 50, 56, 18);
    labBack->setGeometry(180, dy + 50, 26, 18);
    labForward->setGeometry(210, dy + 50, 26, 18);

    // The information: the picture beside the memories in one column, under
    // the search list in two; the memo takes the column's width below. The
    // name gets room for the longest ones ("Ori-Alpha(58)", "NGC7000 ..."):
    // beside the picture in two columns, under it in one, where the space
    // left of the picture is too narrow.
    if (TwoColumns) {
        shpObjInfo = QRect(sx + 16, sy + 146, kObjInfoW, kObjInfoH);
        labObjName->setGeometry(sx + 16 + kObjInfoW + 4, sy + 146 + kObjInfoH - 14, kNameWidth, 14);
        labObjName->setAlignment(Qt::AlignCenter);
    } else {
        shpObjInfo = QRect(120 + 30 * 5 + 6 - kObjInfoW, dy + 72, kObjInfoW, kObjInfoH);
        labObjName->setGeometry(shpObjInfo.right() + 1 - kNameWidth, shpObjInfo.bottom() + 2,
                                kNameWidth, 14);
        labObjName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    const int my = TwoColumns ? shpObjInfo.bottom() + 6 : labObjName->geometry().bottom() + 4;
    // The receiver's status line, when shown, sits under the memo.
    const int partyH = labParty && labParty->isVisibleTo(this) ? 30 : 0;
    memInfo->setGeometry(sx + 16, my, kLeftWidth - 18, std::max(40, h - my - 4 - partyH));
    fcaInfo->setGeometry(sx + 2, my + 2, 12, 12);
    if (labParty) labParty->setGeometry(sx + 16, h - partyH - 2, kLeftWidth - 18, partyH);

    // The atlas takes the rest, above a strip of zoom, sensitivity and
    // read-out; a narrow atlas puts the read-out on a second row.
    const int aw = std::max(1, std::min(w - left, ScreenW - kLeftWidth));
    const int controlsW = 16 + 16 * 2 + 56 + 62 + 58 + 14 + 11 * 15 + 14, readoutW = 6 + 4 * 2 + 312;
    const bool twoRows = controlsW + readoutW > aw;
    const int strip = twoRows ? 2 * kStripHeight - 2 : kStripHeight;
    const int ah = std::max(1, std::min(h - strip, ScreenH));
    shpAtlas = QRect(left, 0, aw, ah);
    fcsAtlas->setGeometry(left, 0, 1, 1);
    fcaAtlas->setGeometry(left + 2, ah + 4, 12, 12);
    int x = left + 16, y = ah + 2;
    auto place = [&](QWidget* c, int width) {
        c->setGeometry(x, y, width, 16);
        x += width + 2;
    };
    place(labZoomIn, 56);
    place(labZoomOut, 62);
    place(labSensTitle, 58);
    place(labSensDec, 14);
    for (int i = 0; i < 11; ++i)
        place(labSens[i], 15);
    place(labSensInc, 14);
    if (twoRows) {
        x = left + 16;
        y += 18;
    } else {
        x += 6;
    }
    place(labRA, 84);
    place(labDc, 84);
    place(labAZI, 72);
    place(labALT, 72);
}

void TfrmQVSKY::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    LayoutControls();
    if (shown_) timResize->Start(200);
}

void TfrmQVSKY::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (shown_ || e->spontaneous()) return;
    shown_ = true;
    FirstShow();
}

void TfrmQVSKY::FirstShow() {
    // 1: the view state as at start.
    CenterRa = CenterDec = 0.0;
    Sensitivity = 0;
    Scale = 1000;
    AutoDrive = true;
    SearchTab = 1;
    FullScreen = false;
    SwitchCursor = 1;
    // 2: memories from the settings record, recall mode, an empty history.
    if (LoadMemories) LoadMemories(Mem);
    MemMode = 2;
    History.Clear();
    // 3: the display switches.
    const int start[8] = {1, 1, 0, 0, 1, 0, 1, 1};
    std::copy(start, start + 8, Switch);
    for (int i = 0; i < 8; ++i)
        labCNTL[i]->SetFontColor(Switch[i] ? kCaptionOn : kCaptionOff);
    // 4: the object picture's raster, in the atlas's colours, black.
    ObjDib.AddPalette(&Atlas->GetDib());
    ObjDib.Create(kObjInfoW, kObjInfoH);
    ObjDib.FillIdx(static_cast<unsigned char>(ObjDib.Col2Idx(0)));
    // 5: the bodies to both charts.
    Bodies->Hand(*Hayami);
    Bodies->Hand(*Atlas);
    // 6: timers.
    timResize->Stop();
    timRedraw->Stop();
    AutoTicks = 0;
    timAutoDraw->Start(200);
    // 7: texts and fonts of the charts.
    for (int i = 0; i < 11; ++i) {
        labSens[i]->SetCap(std::to_string(i - 5));
        labSens[i]->SetFontColor(i == 5 ? kCaptionOn : kCaptionOff);
    }
    Hayami->SetFont("Arial");
    Hayami->SetChar(0);
    Atlas->SetFont("Arial");
    Atlas->SetChar(0);
    // 8: the user's option files.
    ReadOptionFiles();
    ReadMinorSettings();
    // 9: one palette for both charts.
    Palette.AddColorTable(Hayami->GetColTbl());
    Palette.AddColorTable(Atlas->GetColTbl());
    // 10, 11: the site, now, the catalogues, the start centre.
    ApplySite();
    const double now = ShowNow();
    Hayami->SetMJD(now);
    Atlas->SetMJD(now);
    CenterRa = 1.4835;
    CenterDec = 0.0;
    Hayami->Star = Star->Count > 0 ? Star.get() : nullptr;
    Atlas->Star[0] = Star->Count > 0 ? Star.get() : nullptr;
    Atlas->Star[1] = DeepStar.get();
    Atlas->Nebula = Nebula->Count > 0 ? Nebula.get() : nullptr;
    Atlas->Names = &NameList;
    SetRasterImages();
    // 12: the first drawing.
    GoNow();
    RedrawPlanisphere();
    RedrawAtlas(true);
    DrawMoonPhase();
    // 13, 14: the first search list, the site's information, an empty picture.
    SelectTab(1);
    ShowObjectInfo(0, 0);
    DrawObjectPicture(0, "", Switch[7], 0);
    DrawObjectPicture(99, "---", Switch[7], 0);
    // 15: the commander's label only in commander mode.
    labCommand->hide();
    // 16: the keyboard to the atlas.
    SetFocusArea(5);
    RefreshHistoryLabels();
    if (OnFirstDrawn) OnFirstDrawn();
    BuildFindIndex();
}

void TfrmQVSKY::SetNightVision(bool on) {
    const bool changed = on != NightVision;
    NightVision = on;
    TNightStyle::SetNight(on);
    if (changed && OnNightVision) OnNightVision(on);
    if (shown_) {
        SetRasterImages();
        DrawMoonPhase();
    }
    update();
}

void TfrmQVSKY::SetRasterImages() {
    hayamiImage_ = Wrap(Hayami->DIB, NightVision);
    atlasImage_ = Wrap(Atlas->GetDib(), NightVision);
    objImage_ = Wrap(ObjDib, NightVision);
}

void TfrmQVSKY::ApplySite() {
    double lng = 0, lat = 0, height = 0, diff = 0, summer = 0;
    std::string name;
    if (CurrentSite) CurrentSite(lng, lat, height, diff, summer, name);
    Location.Lon = lng;
    Location.Lat = lat;
    Location.SetMeter(height);
    DiffUT = diff;
    Summer = static_cast<int>(std::trunc(summer));
    Mjd.SetLocal(DiffUT, Summer);
    Hayami->SetLng(lng);
    Hayami->SetLat(lat);
    Atlas->SetLng(lng);
    Atlas->SetLat(lat);
    LoadSiteHorizon(name);
}

void TfrmQVSKY::LoadSiteHorizon(const std::string& siteName) {
    SiteHorizon.Clear();
    HorizonProblem.clear();
    std::string path = HorizonOverride;
    if (path.empty() && !UserFolder.empty()) {
        THorizonSites sites;
        std::string why;
        sites.Load(UserFolder, why);
        path = sites.Get(siteName);
        HorizonProblem = why;
    }
    if (path.empty()) return;
    std::string why;
    if (!SiteHorizon.Load(path, why)) HorizonProblem = why;
}

double TfrmQVSKY::ClockMjd() const {
    TMjd m;
    m.SetNow(clkCal->GetYear(), clkCal->GetMonth(), clkCal->GetDay(), clkCal->GetHour(),
             clkCal->GetMinute(), 0, DiffUT, Summer);
    return m.GetMJD();
}

void TfrmQVSKY::RecomputeFromClock(bool record) {
    ++Recomputes;
    Mjd.SetNow(clkCal->GetYear(), clkCal->GetMonth(), clkCal->GetDay(), clkCal->GetHour(),
               clkCal->GetMinute(), 0, DiffUT, Summer);
    Hayami->SetMJD(Mjd.GetMJD());
    Atlas->SetMJD(Mjd.GetMJD());
    RedrawPlanisphere();
    RedrawAtlas(record);
    DrawMoonPhase();
    RefreshObjectPicture();
    FollowMoment();
    if (OnMomentChanged) OnMomentChanged();
}

void TfrmQVSKY::SetClockTo(double mjd) {
    TMjd m;
    m.SetLocal(DiffUT, Summer);
    m.SetMJD(mjd);
    m.MJD2Local();
    clkCal->SetYear(m.GetLyy());
    clkCal->SetMonth(m.GetLmm());
    clkCal->SetDay(m.GetLdd());
    clkCal->SetHour(m.GetLhh());
    clkCal->SetMinute(m.GetLms());
    clkCal->update();
    AutoDrive = false;
    SetClockColours(false);
    ShowTimeDifference();
    RecomputeFromClock(true);
}

void TfrmQVSKY::RedrawAtlas(bool record) {
    Atlas->SetViewWidth(shpAtlas.width());
    Atlas->SetViewHeight(shpAtlas.height());
    Atlas->SetScale(Scale);
    Atlas->SetSensitivity(Sensitivity);
    for (int n = 1; n <= 8; ++n)
        Atlas->SetSwitch(n, Switch[n - 1]);
    Atlas->SetCenterRa(CenterRa);
    Atlas->SetCenterDec(CenterDec);
    PrepareMinor();
    Atlas->Draw();
    ++AtlasDrawings;
    update(shpAtlas);
    UpdateMountMark();
    if (record) {
        TViewHistory::Entry v;
        v.Ra = CenterRa;
        v.Dec = CenterDec;
        v.Mjd = AutoDrive ? 0.0 : Mjd.GetMJD();
        v.Scale = Scale;
        History.Record(v, Mjd.GetMJD());
        RefreshHistoryLabels();
    }
    RefreshMemoryLabels();
}

void TfrmQVSKY::RedrawPlanisphere() {
    // The atlas's target on the planisphere too: a body where it is drawn there.
    double ra = 0, dec = 0;
    if (Atlas->GetTargetKind() == 3)
        Hayami->SetTargetBody(Atlas->GetTargetNumber());
    else if (Atlas->TargetPlace(ra, dec))
        Hayami->SetTarget(ra, dec);
    else
        Hayami->ClearTarget();
    PrepareMinor();
    Hayami->DrawHayami(0);
    update(shpHayami);
    UpdatePointer(CenterRa, CenterDec);
    UpdateMountMark();
}

void TfrmQVSKY::DrawMoonPhase() {
    Bodies->Moon.SetMjd(Mjd.GetMJD());
    const double elong = Bodies->Moon.Elong;
    moonImage_ = QImage(kMoonSize, kMoonSize, QImage::Format_RGB32);
    moonImage_.fill(Qt::black);
    QPainter p(&moonImage_);
    p.setPen(ToQColor(kDark));
    p.setBrush(Qt::black);
    // The classic ellipse takes the box 0,0-45,45 with its far edges excluded.
    p.drawEllipse(QRectF(0.5, 0.5, kMoonSize - 1, kMoonSize - 1));
    p.setPen(ToQColor(26214));
    for (int i = 1; i <= 44; ++i) {
        int w = static_cast<int>(std::trunc(std::sqrt(484.0 - (i - 22.0) * (i - 22.0))));
        if (elong < 0) w = -w;
        const int x0 = 22 + w;
        const int x1 = static_cast<int>(std::trunc(22 + w * std::cos(elong)));
        // A line excludes its end pixel.
        if (x1 > x0)
            p.drawLine(x0, i, x1 - 1, i);
        else if (x1 < x0)
            p.drawLine(x0, i, x1 + 1, i);
    }
    p.end();
    if (NightVision) moonImage_ = TNightStyle::Redden(moonImage_);
    MoonAgeDays = skyrules::MoonAge(Mjd.GetMJD());
    labMoonAge->setText(QString::fromStdString(skyrules::MoonAgeText(MoonAgeDays)));
    update(shpMoon);
}

void TfrmQVSKY::SetClockColours(bool autoDrive) {
    clkCal->SetPCol(autoDrive ? kDark : kBlack);
    clkCal->SetBPCol(autoDrive ? kBlack : kDarker);
    clkCal->update();
}

void TfrmQVSKY::ShowClockMoment() {
    clkCal->SetYear(Mjd.GetLyy());
    clkCal->SetMonth(Mjd.GetLmm());
    clkCal->SetDay(Mjd.GetLdd());
    clkCal->SetHour(Mjd.GetLhh());
    clkCal->SetMinute(Mjd.GetLms());
    clkCal->update();
}

double TfrmQVSKY::ShowNow() {
    const TClockTime t = Clock().NowUt();
    Mjd.SetNow(t.Year, t.Month, t.Day, t.Hour, t.Minute, static_cast<int>(t.Second), 0.0, 0);
    ShowClockMoment();
    SetClockColours(true);
    labTimeDiff->setText("Auto Drive");
    return Mjd.GetMJD();
}

void TfrmQVSKY::ShowMoment(double mjd) {
    if (mjd != 0.0) {
        Mjd.SetMJD(mjd);
        ShowClockMoment();
        SetClockColours(false);
        AutoDrive = false;
        ShowTimeDifference();
    } else {
        ShowNow();
        AutoDrive = true;
    }
}

void TfrmQVSKY::GoNow() {
    AutoDrive = true;
    ShowNow();
    RecomputeFromClock(false);
}

void TfrmQVSKY::ShowTimeDifference() {
    const double d = ClockMjd() - Clock().NowMjd();
    labTimeDiff->setText(QString::fromStdString(skyrules::TimeDifferenceText(d)));
}

void TfrmQVSKY::AutoTick() {
    if (++AutoTicks < 100) return;
    AutoTicks = 0;
    if (AutoDrive) {
        const double now = ShowNow();
        Hayami->SetMJD(now);
        Atlas->SetMJD(now);
        RedrawPlanisphere();
        RedrawAtlas(false);
        DrawMoonPhase();
        RefreshObjectPicture();
        FollowMoment();
    } else {
        ShowTimeDifference();
    }
}

void TfrmQVSKY::UpdatePointer(double ra, double dec) {
    // The direction is a J2000 one (the atlas's); the planisphere shows the sky of date.
    Hayami->ToDate(ra, dec, ra, dec);
    double zd = 0;
    int x = 0, y = 0;
    Hayami->HeightG(static_cast<float>(ra), static_cast<float>(dec), Location.Lat,
                    Mjd.GetLSTime(Location.Lon), Hayami->Width > 0 ? Hayami->Width : kHayamiSize,
                    Hayami->Height > 0 ? Hayami->Height : kHayamiSize, zd, x, y);
    const QRect old(PointerAt - QPoint(6, 6), QSize(13, 13));
    if (zd < 1.6580627893946114) {
        PointerAt = QPoint(shpHayami.left() + x, shpHayami.top() + y);
        PointerShown = true;
    } else {
        PointerShown = false;
    }
    update(old);
    update(QRect(PointerAt - QPoint(6, 6), QSize(13, 13)));
}

void TfrmQVSKY::SetSensitivity(int value, bool redraw) {
    const int next = skyrules::StepSensitivity(Sensitivity, value);
    if (next == Sensitivity || next < -5 || next > 5) return;
    labSens[Sensitivity + 5]->SetCB(kBlack);
    labSens[Sensitivity + 5]->SetFontColor(kCaptionOff);
    Sensitivity = next;
    labSens[Sensitivity + 5]->SetCB(kDark);
    labSens[Sensitivity + 5]->SetFontColor(kCaptionOn);
    if (redraw) RedrawAtlas(false);
}

void TfrmQVSKY::RefreshMemoryLabels() {
    for (int i = 0; i < 10; ++i) {
        const bool stored = i == MemStored;
        labMem[i]->SetCB(stored ? kRed : Mem[i].Use ? kDark : kDarker);
        labMem[i]->SetFontColor(stored ? kBlack : kMemoryDigit);
    }
    MemStored = -1;
}

void TfrmQVSKY::RefreshHistoryLabels() {
    labBack->SetFontColor(History.CanBack() ? kCaptionOn : kCaptionOff);
    labForward->SetFontColor(History.CanForward() ? kCaptionOn : kCaptionOff);
}

void TfrmQVSKY::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QRect dirty = e->rect();
    p.fillRect(dirty, Qt::black);
    if (!shown_) return;
    if (dirty.intersects(shpHayami)) p.drawImage(shpHayami.topLeft(), hayamiImage_);
    if (dirty.intersects(shpAtlas))
        p.drawImage(shpAtlas.topLeft(), atlasImage_, QRect(QPoint(0, 0), shpAtlas.size()));
    if (dirty.intersects(shpObjInfo)) p.drawImage(shpObjInfo.topLeft(), objImage_);
    if (dirty.intersects(shpMoon) && !moonImage_.isNull())
        p.drawImage(shpMoon.topLeft(), moonImage_);
    if (PointerShown) {
        p.setPen(QColor(255, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(PointerAt, 5, 5);
    }
    PaintMountMark(p);
}

void TfrmQVSKY::closeEvent(QCloseEvent* e) {
    timAutoDraw->Stop();
    std::string why;
    if (SaveMemories && !SaveMemories(Mem, why))
        Ask(2, "The view memories could not be saved.\r\n" + why);
    QWidget::closeEvent(e);
    if (OnClosed) OnClosed();
}
