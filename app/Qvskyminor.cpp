// The chart window's comets and asteroids: the folder Minor/ read on a thread of its own,
// the bodies and the selected one's track handed to both charts, their switch and its
// side file.
#include "app/Errhandler.h"
#include "app/Qvsky.h"

#include "catalog/Safefile.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QAction>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <algorithm>
#include <mutex>

struct TfrmQVSKY::TMinorLoad {
    std::atomic<bool> Cancel{false};
    std::mutex Lock;
    std::shared_ptr<TMinorList> Result; // set once, under Lock
};

void TfrmQVSKY::StopMinorLoad() {
    if (minorJob_) minorJob_->Cancel = true;
    if (minorThread_.joinable()) minorThread_.join();
}

void TfrmQVSKY::LoadMinorBodies() {
    if (UserFolder.empty()) return;
    StopMinorLoad();
    const std::string folder = UserFolder + "/Minor";
    Minor.reset();
    auto job = std::make_shared<TMinorLoad>();
    minorJob_ = job;
    QPointer<TfrmQVSKY> self(this);
    minorThread_ = std::thread([job, folder, self] {
        auto list = std::make_shared<TMinorList>();
        list->Cancel = &job->Cancel;
        list->AddFolder(folder);
        if (job->Cancel) return;
        list->BuildIndex(); // the find field looks names up at every keystroke
        {
            std::lock_guard<std::mutex> hold(job->Lock);
            job->Result = std::move(list);
        }
        // Queued: runs on the window's thread, and not at all once the window is gone.
        if (self) QMetaObject::invokeMethod(self, [self] { if (self) self->MinorLoaded(); }, Qt::QueuedConnection);
    });
}

const TMinorList* TfrmQVSKY::MinorBodies() {
    if (!Minor && minorJob_) {
        std::shared_ptr<TMinorList> got;
        {
            std::lock_guard<std::mutex> hold(minorJob_->Lock);
            got = minorJob_->Result;
        }
        if (got) {
            Minor = std::move(got);
            for (const std::string& e : Minor->Errors) AppendErrLog(UserFolder, 0, e);
            if (Minor->Skipped > 0)
                AppendErrLog(UserFolder, 0,
                             "Minor: " + std::to_string(Minor->Skipped) + " element lines skipped");
        }
    }
    return Minor.get();
}

void TfrmQVSKY::MinorLoaded() {
    if (!MinorBodies() || !shown_) return;
    if (MinorSet.Show && !Minor->Bodies.empty()) {
        RedrawAtlas(false);
        RedrawPlanisphere();
    }
}

void TfrmQVSKY::ReadMinorSettings() {
    MinorSet = TMinorSettings{};
    std::string text, why;
    if (!UserFolder.empty() &&
        TSafeFile::ReadAll(UserFolder + "/" + TMinorSettings::kFileName, 1 << 16, text, why))
        MinorSet.FromText(text);
    if (minorAction_) minorAction_->setChecked(MinorSet.Show);
}

void TfrmQVSKY::SaveMinorSettings() {
    if (UserFolder.empty()) return;
    std::string why;
    if (!TSafeFile::WriteAtomic(UserFolder + "/" + TMinorSettings::kFileName, MinorSet.ToText(), why))
        AppendErrLog(UserFolder, 0, why);
}

void TfrmQVSKY::ToggleMinor() {
    MinorSet.Show = !MinorSet.Show;
    if (minorAction_) minorAction_->setChecked(MinorSet.Show);
    SaveMinorSettings();
    RedrawAtlas(false);
    RedrawPlanisphere();
}

void TfrmQVSKY::ToggleTrack() {
    if (TrackIndex >= 0) TrackIndex = -1;
    else if (MemoKind == kMinorKind) TrackIndex = MemoIndex;
    if (trackAction_) trackAction_->setChecked(TrackIndex >= 0);
    RedrawAtlas(false);
}

void TfrmQVSKY::PrepareMinor() {
    const TMinorList* list = MinorSet.Show ? MinorBodies() : nullptr;
    Atlas->MinorMarks = Hayami->MinorMarks = nullptr;
    Atlas->MinorTrack = nullptr;
    if (!list || list->Bodies.empty()) return;
    // One set serves both charts: the planisphere's limit is never the fainter.
    const double limit = std::max(Atlas->GetLimit() / 100.0, THayami::kFaintest);
    MinorSky.Update(list, Atlas->GetMJD(), limit);
    Atlas->MinorMarks = Hayami->MinorMarks = &MinorSky.Marks;
    if (TrackIndex < 0 || TrackIndex >= int(list->Bodies.size())) return;
    const double mjd = Atlas->GetMJD();
    if (TrackIndex != trackBody_ || mjd != trackMjd_ || MinorSet.TrackDays != trackDays_) {
        trackBody_ = TrackIndex;
        trackMjd_ = mjd;
        trackDays_ = MinorSet.TrackDays;
        // A point every few hours: the track bends smoothly even close to the Earth.
        MinorTrackPoints = TMinorSky::Track(list->Bodies[TrackIndex], mjd, trackDays_,
                                            std::clamp(trackDays_ * 8, 16, 480),
                                            TMinorSky::TickDays(trackDays_));
    }
    Atlas->MinorTrack = &MinorTrackPoints;
}

void TfrmQVSKY::BuildMinorMenu() {
    const QString view = "View";
    minorAction_ = AddMenuEntry(view, "Comets and asteroids", "Ctrl+M", [this] { ToggleMinor(); });
    minorAction_->setCheckable(true);
    minorAction_->setChecked(MinorSet.Show);
    trackAction_ = AddMenuEntry(view, "Track of the comet or asteroid shown", "Ctrl+K",
                                [this] { ToggleTrack(); });
    trackAction_->setCheckable(true);
    auto* minor = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    minor->setContext(Qt::WindowShortcut);
    QObject::connect(minor, &QShortcut::activated, this, [this] { ToggleMinor(); });
    auto* track = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
    track->setContext(Qt::WindowShortcut);
    QObject::connect(track, &QShortcut::activated, this, [this] { ToggleTrack(); });
}
