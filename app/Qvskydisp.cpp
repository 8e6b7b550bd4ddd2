// The chart window's display switches, view memories and the user's option
// files.
#include "app/Qvsky.h"
#include "controls/Look.h"

#include "catalog/Clsfolders.h"

#include "app/Clsoption.h"
#include "app/Clssysinfo.h"
#include "app/Errhandler.h"
#include "app/Skyrules.h"
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "render/Clsatlas.h"

#include <QTimer>
#include <cmath>

namespace {


// The message lists at most this many problems, the error log ten times as
// many: a damaged file of thousands of objects must not bury either.
constexpr int kShownProblems = 20;
constexpr int kLoggedProblems = 200;

} // namespace

void TfrmQVSKY::BuildDispControls() {
    for (int i = 0; i < 8; ++i) {
        labCNTL[i]->OnMouseDown = [this, i](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) {
            MoveSwitchCursor(i + 1);
            SetFocusArea(3);
            ToggleSwitch(i + 1);
        };
    }
    fcsDisp->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers) {
        if (DispKey(key)) key = 0;
    };
    for (int i = 0; i < 10; ++i) {
        labMem[i]->OnMouseDown = [this, i](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                           int) {
            SetFocusArea(5);
            ChooseMemory(i);
        };
    }
    labMemSet->SetFontColor(kCaptionOff);
    labMemSet->OnMouseUp = [this](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
        SetFocusArea(5);
        if (b == Qt::LeftButton)
            MemorySet();
        else if (b == Qt::RightButton || b == Qt::MiddleButton)
            MemoryReset();
    };
}

void TfrmQVSKY::MoveSwitchCursor(int n) {
    if (n < 1 || n > 8) return;
    SwitchCursor = n;
    fcaDisp->move(fcaDisp->x(), labCNTL[n - 1]->y() + 2);
}

void TfrmQVSKY::ToggleSwitch(int n) {
    if (n < 1 || n > 8) return;
    Switch[n - 1] = Switch[n - 1] ? 0 : 1;
    labCNTL[n - 1]->SetFontColor(Switch[n - 1] ? kCaptionOn : kCaptionOff);
    RedrawAtlas(false);
    // The object picture has realistic colours too.
    if (n == 8) RefreshObjectPicture();
}

bool TfrmQVSKY::DispKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ToggleSwitch(SwitchCursor);
        return true;
    case Qt::Key_Up:
        if (SwitchCursor > 1) MoveSwitchCursor(SwitchCursor - 1);
        return true;
    case Qt::Key_Down:
        if (SwitchCursor < 8) MoveSwitchCursor(SwitchCursor + 1);
        return true;
    default:
        return FunctionKey(key, 3);
    }
}

void TfrmQVSKY::MemorySet() {
    if (MemMode == 0) {
        MemMode = 2;
        labMemSet->SetFontColor(kCaptionOff);
    } else {
        MemMode = 0;
        labMemSet->SetFontColor(kCaptionOn);
        labMemSet->SetCap("Set");
    }
}

void TfrmQVSKY::MemoryReset() {
    if (MemMode == 1) {
        MemMode = 2;
        labMemSet->SetFontColor(kCaptionOff);
        labMemSet->SetCap("Set");
    } else {
        MemMode = 1;
        labMemSet->SetFontColor(kCaptionOn);
        labMemSet->SetCap("Res");
    }
}

void TfrmQVSKY::ChooseMemory(int slot) {
    if (slot < 0 || slot > 9) return;
    TMemory& m = Mem[slot];
    if (MemMode == 0) {
        // In auto drive the slot follows real time: it keeps no moment.
        m = {1, CenterRa, CenterDec, AutoDrive ? 0.0 : Mjd.GetMJD(), Scale};
        MemMode = 2;
        labMemSet->SetFontColor(kCaptionOff);
        MemStored = slot;
        RefreshMemoryLabels();
        return;
    }
    if (MemMode == 1) {
        m.Use = 0;
        MemMode = 2;
        labMemSet->SetFontColor(kCaptionOff);
        labMemSet->SetCap("Set");
        RefreshMemoryLabels();
        return;
    }
    if (!m.Use) return;
    // A damaged settings file must not leave the chart at an impossible view.
    if (!std::isfinite(m.Ra) || !std::isfinite(m.Dec) || !std::isfinite(m.Mjd)) return;
    CenterRa = m.Ra;
    CenterDec = m.Dec;
    Scale = std::clamp(m.Scale, skyrules::kMinScale, skyrules::kMaxScale);
    ShowMoment(m.Mjd);
    RecomputeFromClock(true);
}

void TfrmQVSKY::ReadOptionFiles() {
    // The folder of the user's files: beside the program, or the user's data
    // folder of an installed copy; never the working directory.
    const std::string& user = UserFolder;
    const std::string dir = PathIn(user, "Option");
    TOptionFiles files;
    files.ReadFolder(dir);

    OptTitle = files.Titles;
    OptCount = static_cast<int>(files.Titles.size());
    OptSort.resize(OptCount);
    for (int i = 0; i < OptCount; ++i)
        OptSort[i] = i + 1;
    const int n = static_cast<int>(files.Objects.size());
    Atlas->SetMarkerCount(n);
    for (int i = 0; i < n; ++i)
        Atlas->SetMarker(i + 1, files.Objects[i]);

    OptProblems = files.Problems;
    if (OptProblems.empty()) return;
    std::string text = "Some of the option files could not be read whole:";
    const int count = static_cast<int>(OptProblems.size());
    for (int i = 0; i < count && i < kLoggedProblems; ++i)
        AppendErrLog(user, 0, OptProblems[i]);
    if (count > kLoggedProblems)
        AppendErrLog(user, 0,
                     "... and " + std::to_string(count - kLoggedProblems) +
                         " more problems in the option files");
    for (int i = 0; i < count && i < kShownProblems; ++i)
        text += "\r\n" + OptProblems[i];
    if (count > kShownProblems)
        text += "\r\n... and " + std::to_string(count - kShownProblems) + " more (see Err3.Log)";
    // After the window has come up, so the message stands over the charts.
    QTimer::singleShot(0, this, [this, text] { Ask(2, text); });
}

void TfrmQVSKY::MemoriesFrom(const TSysInfo& r, TMemory (&mem)[10]) {
    for (int i = 0; i < 10; ++i)
        mem[i] = {r.GetMemUse(i), r.GetMemRa(i), r.GetMemDec(i), r.GetMemMjd(i), r.GetMemScale(i)};
}

void TfrmQVSKY::MemoriesInto(TSysInfo& r, const TMemory (&mem)[10]) {
    for (int i = 0; i < 10; ++i) {
        r.SetMemUse(i, mem[i].Use);
        r.SetMemRa(i, mem[i].Ra);
        r.SetMemDec(i, mem[i].Dec);
        r.SetMemMjd(i, mem[i].Mjd);
        r.SetMemScale(i, mem[i].Scale);
    }
}
