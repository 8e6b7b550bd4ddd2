// The chart window's menu: one button beside the other buttons under the clock opens it.
// Every entry does what its key does (the keys stay the way in), so that
// nothing is reachable only from the keyboard; the key is shown beside it.
#include "app/Qvsky.h"

#include "controls/Calclock.h"
#include "controls/Flatscroll.h"
#include "controls/Focusarrow.h"
#include "controls/Framelabel.h"
#include "controls/Look.h"
#include "controls/Selgrid.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolTip>

namespace {

// At night the marked entry is black on red instead of pink on dark red.
QString MenuLook(bool night) {
    return QString("QMenu { background: black; color: rgb(255,0,0); border: 1px solid rgb(255,0,0); }"
                   "QMenu::item { padding: 2px 16px 2px 16px; }"
                   "QMenu::item:selected { %1 }"
                   "QMenu::item:disabled { color: rgb(128,0,0); }"
                   "QMenu::separator { height: 1px; background: rgb(128,0,0); margin: 2px 4px; }"
                   "QMenu::indicator { width: 9px; height: 9px; border: 1px solid rgb(255,0,0); }"
                   "QMenu::indicator:checked { background: rgb(255,0,0); }")
        .arg(night ? "background: rgb(255,0,0); color: black;"
                   : "background: rgb(128,0,0); color: rgb(255,176,176);");
}

} // namespace

QMenu* TfrmQVSKY::MenuNamed(const QString& title) {
    for (QAction* a : mnuMain->actions())
        if (a->menu() && a->text() == title) return a->menu();
    auto* sub = new QMenu(title, mnuMain);
    sub->setStyleSheet(MenuLook(NightVision));
    mnuMain->addMenu(sub);
    return sub;
}

QAction* TfrmQVSKY::AddMenuEntry(const QString& menu, const QString& text, const QString& key,
                                 std::function<void()> act) {
    // The key as a second column (after a tab), not as a shortcut: the keys
    // already have their handlers in the areas.
    QAction* a = MenuNamed(menu)->addAction(key.isEmpty() ? text : text + "\t" + key);
    QObject::connect(a, &QAction::triggered, this, [act] { act(); });
    return a;
}

void TfrmQVSKY::BuildMenu() {
    mnuMain = new QMenu(this);
    mnuMain->setStyleSheet(MenuLook(NightVision));
    flbMenu = RedButton(this, "Menu", QRect(0, 0, 36, 16), 8);
    flbMenu->setToolTip("Every command of this window, with its key");
    flbMenu->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        OpenMenu();
    };

    auto atlasKey = [this](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return [this, key, mods] {
            SetFocusArea(5);
            AtlasKey(key, mods);
        };
    };
    const QString chart = "Chart", view = "View", memory = "Memory", areas = "Areas",
                  windows = "Windows";
    AddMenuEntry(chart, "Save charts...", "Ctrl+S", [this] { SaveChartsKey(); });
    AddMenuEntry(chart, "Find an object...", "Ctrl+F, /", [this] { OpenFind(); });
    AddMenuEntry(chart, "Change site...", "F3", [this] { ChangeSite(); });
    AddMenuEntry(chart, "Now (auto drive)", "Home in the clock", [this] { GoNow(); });
    AddMenuEntry(chart, "Full screen", "F2", [this] { ToggleFullScreen(); });
    MenuNamed(chart)->addSeparator();
    AddMenuEntry(chart, "Quit", "", [this] { close(); });

    AddMenuEntry(view, "Zoom in", "PageUp", atlasKey(Qt::Key_PageUp));
    AddMenuEntry(view, "Zoom out", "PageDown", atlasKey(Qt::Key_PageDown));
    AddMenuEntry(view, "Move north", "Up", atlasKey(Qt::Key_Up));
    AddMenuEntry(view, "Move south", "Down", atlasKey(Qt::Key_Down));
    AddMenuEntry(view, "Move east", "Left", atlasKey(Qt::Key_Left));
    AddMenuEntry(view, "Move west", "Right", atlasKey(Qt::Key_Right));
    AddMenuEntry(view, "Back", "Alt+Left", atlasKey(Qt::Key_Left, Qt::AltModifier));
    AddMenuEntry(view, "Forward", "Alt+Right", atlasKey(Qt::Key_Right, Qt::AltModifier));
    AddMenuEntry(view, "More stars (sensitivity +)", "Keypad +",
                 atlasKey(Qt::Key_Plus, Qt::KeypadModifier));
    AddMenuEntry(view, "Fewer stars (sensitivity -)", "Keypad -",
                 atlasKey(Qt::Key_Minus, Qt::KeypadModifier));
    nightAction_ = AddMenuEntry(view, "Night vision", "F12", [this] { SetNightVision(!NightVision); });
    nightAction_->setCheckable(true);
    MenuNamed(view)->addSeparator();
    const char* names[8] = {"Milky Way", "Constellations", "Bayer letters", "Flamsteed numbers",
                            "Star names", "Nebulae etc.",  "Grid",          "Realistic colours"};
    for (int n = 1; n <= 8; ++n) {
        QAction* a = AddMenuEntry(view, names[n - 1], "F7, Enter", [this, n] { ToggleSwitch(n); });
        a->setCheckable(true);
        switchActions_[n - 1] = a;
    }
    AddMenuEntry(view, "Horizon line", "Ctrl+H", [this] { ToggleHorizon(); });
    ringsAction_ = AddMenuEntry(view, "Field-of-view rings", "Ctrl+R", [this] { ToggleRings(); });
    ringsAction_->setCheckable(true);
    AddMenuEntry(view, "Field-of-view rings list...", "", [this] { EditRings(); });
    BuildMinorMenu();

    AddMenuEntry(memory, "Set (then a slot)", "Insert", atlasKey(Qt::Key_Insert));
    AddMenuEntry(memory, "Reset (then a slot)", "Delete", atlasKey(Qt::Key_Delete));
    for (int k = 0; k <= 9; ++k)
        AddMenuEntry(memory, QString("Slot %1").arg(k), QString("Keypad %1").arg(k),
                     atlasKey(Qt::Key_0 + k, Qt::KeypadModifier));

    const char* areaNames[5] = {"Clock", "Search list", "Display switches", "Information",
                                "Atlas"};
    for (int n = 1; n <= 5; ++n)
        AddMenuEntry(areas, areaNames[n - 1], QString("F%1").arg(n + 4),
                     [this, n] { SetFocusArea(n); });

    AddMenuEntry(windows, "Key help", "F1", [this] {
        if (ShowKeyHelp) ShowKeyHelp();
    });
    AddMenuEntry(windows, "Navigation (GoTo)", "F4", [this] { StartNavigation(); });
    AddMenuEntry(windows, "Star party settings", "F10", [this] {
        if (ShowPartySettings) ShowPartySettings();
    });
    AddMenuEntry(windows, "Telescope", "F11, Ctrl+T", [this] {
        if (ShowTelescope) ShowTelescope();
    });
}

void TfrmQVSKY::OpenMenu() {
    const QString look = MenuLook(NightVision);
    if (mnuMain->styleSheet() != look) {
        mnuMain->setStyleSheet(look);
        for (QAction* a : mnuMain->actions())
            if (a->menu()) a->menu()->setStyleSheet(look);
    }
    nightAction_->setChecked(NightVision);
    ringsAction_->setChecked(RingsShown);
    for (int n = 0; n < 8; ++n)
        switchActions_[n]->setChecked(Switch[n] != 0);
    mnuMain->popup(flbMenu->mapToGlobal(QPoint(0, flbMenu->height())));
}

void TfrmQVSKY::SetToolTips() {
    clkCal->setToolTip("The displayed moment: turn a field with the mouse or Up/Down (F5)");
    labNow->setToolTip("Back to now: the charts follow the clock (auto drive)");
    labTimeDiff->setToolTip("How far the clock's moment lies from now");
    labSet->setToolTip("Change the observing site (F3)");
    labNavi->setToolTip("Setting-circle readings for the selected object (F4)");
    labCommand->setToolTip("Star-party commander");
    shpFullScreen->setToolTip("Full screen on or off (F2)");
    labMoonAge->setToolTip("The Moon's age in days since new Moon");
    const char* tabs[4] = {"Search: the solar system", "Search: Messier and NGC objects",
                           "Search: IC objects and named deep-sky objects",
                           "Search: constellations, named stars and option lists"};
    for (int i = 0; i < 4; ++i)
        labTab[i]->setToolTip(QString(tabs[i]) + " (F6, then - and +)");
    grdSearch->setToolTip("Choose an object: a click or Enter (F6)");
    flsSch->setToolTip("Scroll the search list");
    for (int i = 0; i < 8; ++i)
        labCNTL[i]->setToolTip("Show or hide on the atlas (F7, then Up/Down and Enter)");
    for (int i = 0; i < 10; ++i)
        labMem[i]->setToolTip(QString("View memory %1: a click recalls it, after \"Set\" stores "
                                      "the view in it (keypad %1)")
                                  .arg(i));
    labMemSet->setToolTip("Left button: store the view in the next slot clicked (Insert); "
                          "right button: clear it (Delete)");
    labBack->setToolTip("Back in the view history (Alt+Left)");
    labForward->setToolTip("Forward in the view history (Alt+Right)");
    memInfo->setToolTip("What is known about the selected object (F8)");
    labZoomIn->setToolTip("Zoom in (PageUp, or the mouse wheel over the atlas)");
    labZoomOut->setToolTip("Zoom out (PageDown, or the mouse wheel over the atlas)");
    labSensDec->setToolTip("Fewer faint stars (keypad -)");
    labSensInc->setToolTip("More faint stars (keypad +)");
    for (int i = 0; i < 11; ++i)
        labSens[i]->setToolTip(QString("Sensitivity %1%2: how faint the atlas's stars go")
                                   .arg(i > 5 ? "+" : "")
                                   .arg(i - 5));
    for (TFocusArrow* a : {fcaSearch, fcaDisp, fcaInfo, fcaAtlas})
        a->setToolTip("The keyboard works here (F5 to F9 move it)");
}

QString TfrmQVSKY::ToolTipAt(QPoint p) const {
    // The read-out labels let the mouse through to the atlas, and the
    // pictures are drawn on the window itself: their tooltips come from here.
    if (labRA->geometry().contains(p))
        return "Right ascension under the pointer (J2000)";
    if (labDc->geometry().contains(p)) return "Declination under the pointer (J2000)";
    if (labAZI->geometry().contains(p))
        return "Azimuth under the pointer, from north through east";
    if (labALT->geometry().contains(p))
        return "Altitude under the pointer, with refraction";
    if (shpMoon.contains(p)) return "The Moon's phase: a click centres the atlas on the Moon";
    if (shpObjInfo.contains(p))
        return "The selected object: a click centres the atlas on it";
    if (shpHayami.contains(p))
        return "The whole sky above the horizon: a click centres the atlas there";
    if (shpAtlas.contains(p))
        return "Wheel: zoom about the pointer; drag: move; click: centre here; "
               "right click: the objects here";
    return {};
}

bool TfrmQVSKY::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const QString tip = ToolTipAt(h->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(h->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}
