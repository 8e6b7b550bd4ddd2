// The chart window's keys and mouse, view history, full screen, change of
// site and the start of navigation.
#include "app/Qvsky.h"

#include "app/Skyrules.h"
#include "controls/Calclock.h"
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "controls/Selgrid.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

void TfrmQVSKY::SetFocusArea(int area) {
    if (area < 1 || area > 5) return;
    FocusArea = area;
    fcaSearch->setVisible(area == 2);
    fcaDisp->setVisible(area == 3);
    fcaInfo->setVisible(area == 4);
    fcaAtlas->setVisible(area == 5);
    QWidget* target[5] = {clkCal, grdSearch, fcsDisp, memInfo, fcsAtlas};
    target[area - 1]->setFocus(Qt::OtherFocusReason);
}

bool TfrmQVSKY::FunctionKey(int key, int area) {
    switch (key) {
    case Qt::Key_F1:
        if (ShowKeyHelp) ShowKeyHelp();
        return true;
    case Qt::Key_F2:
        ToggleFullScreen();
        return true;
    case Qt::Key_F3:
        ChangeSite();
        return true;
    case Qt::Key_F4:
        timGoNavi->Start(100);
        return true;
    case Qt::Key_F10:
        // The star-party settings: a key no area uses.
        if (ShowPartySettings) ShowPartySettings();
        return true;
    case Qt::Key_F11:
        if (ShowTelescope) ShowTelescope();
        return true;
    case Qt::Key_F12:
        SetNightVision(!NightVision);
        return true;
    case Qt::Key_F5:
    case Qt::Key_F6:
    case Qt::Key_F7:
    case Qt::Key_F8:
    case Qt::Key_F9: {
        const int to = key == Qt::Key_F9 ? 5 : key - Qt::Key_F5 + 1;
        if (to == area) return false; // the area's own key
        SetFocusArea(to);
        return true;
    }
    default:
        return false;
    }
}

void TfrmQVSKY::ClockKey(int& key) {
    if (key == Qt::Key_Home) {
        key = 0;
        GoNow();
    } else if (FunctionKey(key, 1)) {
        key = 0;
    }
}

void TfrmQVSKY::AtlasKey(int key, Qt::KeyboardModifiers mods) {
    const bool alt = mods & Qt::AltModifier;
    const bool keypad = mods & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) {
        ChooseMemory(key - Qt::Key_0);
        return;
    }
    switch (key) {
    case Qt::Key_PageUp:
        UpdatePointer(CenterRa, CenterDec);
        ZoomIn();
        return;
    case Qt::Key_PageDown:
        UpdatePointer(CenterRa, CenterDec);
        ZoomOut();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (alt) {
            key == Qt::Key_Left ? HistoryBack() : HistoryForward();
            return;
        }
        double decL = 0, raL = 0, decR = 0, raR = 0;
        const int bottom = shpAtlas.height() - 1;
        Atlas->Unproject(Atlas->GetProjection(), 0, bottom, &decL, &raL, CenterDec, CenterRa);
        Atlas->Unproject(Atlas->GetProjection(), shpAtlas.width() - 1, bottom, &decR, &raR,
                         CenterDec, CenterRa);
        CenterRa =
            skyrules::StepRa(CenterRa, key == Qt::Key_Left ? 1 : -1, skyrules::RaSpan(raL, raR));
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const double next =
            skyrules::StepDec(CenterDec, key == Qt::Key_Up ? 1 : -1, shpAtlas.height(), Scale);
        if (next == CenterDec) return;
        CenterDec = next;
        break;
    }
    case Qt::Key_Slash:
        OpenFind();
        return;
    case Qt::Key_Insert:
        MemorySet();
        return;
    case Qt::Key_Delete:
        MemoryReset();
        return;
    case Qt::Key_Plus:
        if (keypad) SetSensitivity(99, true);
        return;
    case Qt::Key_Minus:
        if (keypad) SetSensitivity(-99, true);
        return;
    default:
        FunctionKey(key, 5);
        return;
    }
    UpdatePointer(CenterRa, CenterDec);
    RedrawAtlas(true);
}

void TfrmQVSKY::ZoomIn() {
    const int next = skyrules::ZoomIn(Scale);
    if (next == Scale) return;
    Scale = next;
    RedrawAtlas(true);
}

void TfrmQVSKY::ZoomOut() {
    const int next = skyrules::ZoomOut(Scale);
    if (next == Scale) return;
    Scale = next;
    RedrawAtlas(true);
}

void TfrmQVSKY::HistoryBack() {
    TViewHistory::Entry left;
    if (!History.Back(left)) return;
    RefreshHistoryLabels();
    RestoreView(History.Current(), left);
}

void TfrmQVSKY::HistoryForward() {
    TViewHistory::Entry left;
    if (!History.Forward(left)) return;
    RefreshHistoryLabels();
    RestoreView(History.Current(), left);
}

void TfrmQVSKY::RestoreView(const TViewHistory::Entry& e, const TViewHistory::Entry& left) {
    CenterRa = e.Ra;
    CenterDec = e.Dec;
    Scale = e.Scale;
    if (e.Mjd == left.Mjd) {
        RedrawAtlas(false);
        return;
    }
    ShowMoment(e.Mjd);
    RecomputeFromClock(false);
}

void TfrmQVSKY::ToggleFullScreen() {
    if (!FullScreen) {
        if (IsMaximized()) showNormal();
        SavedBounds = geometry();
        showFullScreen();
        FullScreen = true;
    } else {
        if (IsMaximized()) return;
        showNormal();
        setGeometry(SavedBounds);
        FullScreen = false;
    }
}

void TfrmQVSKY::ChangeSite() {
    if (ChooseSite && !ChooseSite()) return;
    ApplySite();
    ShowNow();
    GoNow();
    RedrawPlanisphere();
    RedrawAtlas(true);
    DrawMoonPhase();
    RefreshObjectPicture();
    ShowObjectInfo(0, 0);
}

void TfrmQVSKY::StartNavigation() {
    if (NaviBusy) return;
    NaviBusy = true;
    if (!AutoDrive) {
        Ask(2, "Only AutoDrive Mode([NOW]Button)");
    } else if (NaviName.empty()) {
        Ask(2, "Select an object");
    } else if (OpenNavigation) {
        OpenNavigation(NaviRa, NaviDec, Mjd.GetMJD(), NaviName);
    } else {
        Ask(2, "Navigation is not available yet");
    }
    NaviBusy = false;
}

void TfrmQVSKY::ChartMouseMove(QPoint p) {
    if (shpAtlas.contains(p)) {
        setCursor(Qt::ArrowCursor);
        double dec = 0, ra = 0;
        Atlas->Unproject(Atlas->GetProjection(), p.x() - shpAtlas.left(), p.y() - shpAtlas.top(),
                         &dec, &ra, CenterDec, CenterRa);
        const skyrules::TReadout r = skyrules::Readout(Location, Mjd.GetMJD(), ra, dec, true);
        labRA->setText(QString::fromStdString(r.Ra));
        labDc->setText(QString::fromStdString(r.Dc));
        labAZI->setText(QString::fromStdString(r.Azi));
        labALT->setText(QString::fromStdString(r.Alt));
        UpdatePointer(ra, dec);
        return;
    }
    if (shpHayami.contains(p)) {
        const QPoint c = shpHayami.center();
        const double dx = p.x() - (shpHayami.left() + shpHayami.width() / 2.0);
        const double dy = p.y() - (shpHayami.top() + shpHayami.height() / 2.0);
        (void)c;
        if (dx * dx + dy * dy <= (shpHayami.width() / 2.0) * (shpHayami.width() / 2.0)) {
            setCursor(Qt::CrossCursor);
            double dec = 0, ra = 0;
            if (Hayami->GetPosition(p.x() - shpHayami.left(), p.y() - shpHayami.top(), dec, ra)) {
                Hayami->ToStandard(ra, dec, ra, dec);
                const skyrules::TReadout r =
                    skyrules::Readout(Location, Mjd.GetMJD(), ra, dec, false);
                labRA->setText(QString::fromStdString(r.Ra));
                labDc->setText(QString::fromStdString(r.Dc));
                labAZI->setText(QString::fromStdString(r.Azi));
                labALT->setText(QString::fromStdString(r.Alt));
            }
            return;
        }
    }
    setCursor(Qt::ArrowCursor);
}

void TfrmQVSKY::ChartMousePress(QPoint p, Qt::MouseButton b) {
    // The telescope's reticle lies over the charts: a click on it selects it.
    if (b == Qt::LeftButton && MountMarkClick(p)) return;
    if (shpObjInfo.contains(p)) {
        ObjectPictureClick();
        return;
    }
    if (shpAtlas.contains(p)) {
        SetFocusArea(5);
        if (b != Qt::LeftButton) return;
        // A click centres the atlas there on release; a drag moves the sky
        // with the pointer. Either way the point pressed on is the one held.
        dragFrom_ = p;
        dragHeld_ = true;
        dragging_ = false;
        SkyUnder(p, dragRa_, dragDec_);
        return;
    }
    if (shpMoon.contains(p)) {
        MoonPictureClick();
        return;
    }
    if (shpHayami.contains(p)) {
        double dec = 0, ra = 0;
        if (!Hayami->GetPosition(p.x() - shpHayami.left(), p.y() - shpHayami.top(), dec, ra))
            return;
        Hayami->ToStandard(ra, dec, ra, dec); // the atlas is a J2000 chart
        CenterRa = ra;
        CenterDec = dec;
        RedrawAtlas(true);
        UpdatePointer(CenterRa, CenterDec);
    }
}

void TfrmQVSKY::ChartMouseRelease(QPoint p, Qt::MouseButton b) {
    if (b == Qt::LeftButton && dragHeld_) {
        dragHeld_ = false;
        if (dragging_) {
            dragging_ = false;
            DragTo(p);
        } else {
            CenterRa = dragRa_;
            CenterDec = dragDec_;
        }
        // One history entry for the whole drag, drawn now (nothing stale left).
        atlasPending_ = false;
        RedrawAtlas(true);
        return;
    }
    if (b == Qt::RightButton && shpAtlas.contains(p))
        PickObjects(p.x() - shpAtlas.left(), p.y() - shpAtlas.top());
}

void TfrmQVSKY::SkyUnder(QPoint p, double& ra, double& dec) {
    // With the window's view, which may be ahead of the last drawing.
    Atlas->SetViewWidth(shpAtlas.width());
    Atlas->SetViewHeight(shpAtlas.height());
    Atlas->SetScale(Scale);
    Atlas->Unproject(Atlas->GetProjection(), p.x() - shpAtlas.left(), p.y() - shpAtlas.top(), &dec,
                     &ra, CenterDec, CenterRa);
}

void TfrmQVSKY::KeepUnder(QPoint p, double ra, double dec) {
    const double x = static_cast<double>(p.x() - shpAtlas.left() - shpAtlas.width() / 2) / Scale;
    const double y = static_cast<double>(p.y() - shpAtlas.top() - shpAtlas.height() / 2) / Scale;
    skyrules::CentreKeeping(ra, dec, x, y, CenterDec, CenterRa, CenterDec);
}

void TfrmQVSKY::DragTo(QPoint p) {
    KeepUnder(p, dragRa_, dragDec_);
}

void TfrmQVSKY::AtlasWheel(QPoint p, int angleDelta) {
    if (!shpAtlas.contains(p)) return;
    SetFocusArea(5);
    // A notch is 120; fine-stepping wheels and touch pads send parts of one.
    wheelRest_ += angleDelta;
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches == 0) return;
    int next = Scale;
    for (int k = 0; k < std::abs(notches); ++k)
        next = notches > 0 ? skyrules::ZoomIn(next) : skyrules::ZoomOut(next);
    if (next == Scale) {
        wheelRest_ = 0; // at a limit: turning on does nothing, and nothing is saved up
        return;
    }
    double ra = 0, dec = 0;
    SkyUnder(p, ra, dec);
    Scale = next;
    KeepUnder(p, ra, dec);
    ScheduleAtlasRedraw(true);
}

void TfrmQVSKY::ScheduleAtlasRedraw(bool record) {
    // Wheel and drag events come faster than drawings: they change the view
    // and ask for one drawing, made once the events waiting are handled.
    atlasRecord_ = atlasRecord_ || record;
    if (atlasPending_) return;
    atlasPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!atlasPending_) return;
        atlasPending_ = false;
        const bool rec = atlasRecord_;
        atlasRecord_ = false;
        UpdatePointer(CenterRa, CenterDec);
        RedrawAtlas(rec);
    });
}

void TfrmQVSKY::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (dragHeld_ && (e->buttons() & Qt::LeftButton)) {
        if (!dragging_ && (p - dragFrom_).manhattanLength() >= QApplication::startDragDistance()) {
            dragging_ = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (dragging_) {
            DragTo(p);
            ScheduleAtlasRedraw(false);
            return;
        }
    }
    ChartMouseMove(p);
}

void TfrmQVSKY::wheelEvent(QWheelEvent* e) {
    const QPoint p = e->position().toPoint();
    if (!shpAtlas.contains(p)) {
        e->ignore();
        return;
    }
    AtlasWheel(p, e->angleDelta().y());
    e->accept();
}

void TfrmQVSKY::mousePressEvent(QMouseEvent* e) {
    ChartMousePress(e->position().toPoint(), e->button());
}

void TfrmQVSKY::mouseReleaseEvent(QMouseEvent* e) {
    ChartMouseRelease(e->position().toPoint(), e->button());
}

void TfrmQVSKY::keyPressEvent(QKeyEvent* e) {
    // Every key is an area's: what an area passes on (the clock's and the
    // list's unused keys) has been dealt with there already.
    e->ignore();
}

bool TfrmQVSKY::eventFilter(QObject* o, QEvent* e) {
    if (o == memInfo && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (FunctionKey(k->key(), 4)) return true;
    }
    if (o == memInfo && e->type() == QEvent::FocusIn && FocusArea != 4) SetFocusArea(4);
    // The receiver's status line takes its room from the memo while shown.
    if (o == labParty && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent))
        LayoutControls();
    return QWidget::eventFilter(o, e);
}
