// What a star-party receiver's chart window does on its own thread for one
// Sync: the whole apply (the view, the moment, the full recomputation, the
// log line and the saved mark) and each of its steps on their own, at the
// size the window opens with on a large screen (1280 x 900) and at full
// 1920 x 1080. Each Sync moves the moment by a day and a quarter, so the
// stars and bodies are really computed anew, as in a flood of Syncs from a
// commander stepping through time.
#include "app/Qvsky.h"
#include "controls/Calclock.h"
#include "catalog/Clsstar.h"
#include "party/Partyreceiver.h"
#include "party/Partysettings.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

QApplication& App() {
    static int argc = 1;
    static char name[] = "party_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

struct Receiver {
    fs::path dir;
    TPartySettings party;
    TfrmQVSKY* sky = nullptr;
    int n = 0;
    int step = 1; // between Syncs: 0 minutes (one day), 1 a day or so, 2 a year or so

    Receiver() {
        App();
        dir = fs::temp_directory_path() / ("party_bench_" + std::to_string(::getpid()));
        fs::create_directories(dir / "share");
        sky = new TfrmQVSKY(QCoreApplication::applicationDirPath().toStdString(),
                            QSize(1920, 1100));
        sky->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                              std::string& name) {
            lng = 139.7 * M_PI / 180, lat = 35.7 * M_PI / 180, h = 40, d = 9, s = 0;
            name = "Tokyo";
        };
        sky->UserFolder = dir.string();
        party.Mode = 2;
        party.Folder = (dir / "share").string() + "/";
        party.OwnId = "S000123";
        sky->Party = &party;
        const std::string settings = (dir / "StarParty.dat").string();
        sky->SaveParty = [this, settings](std::string& why) { return party.Save(settings, why); };
        sky->show();
        QApplication::processEvents();
        // Jupiter selected: the object picture is redrawn with every Sync.
        sky->ShowObjectInfo(3, 3);
    }
    ~Receiver() {
        delete sky;
        fs::remove_all(dir);
    }
    void Size(int w, int h) {
        sky->resize(w, h);
        QApplication::processEvents();
        sky->RedrawAtlas(false);
    }
    // The next Sync of a commander stepping through time and across the sky.
    TPartyView Next() {
        ++n;
        TPartyView v;
        v.Ra = std::fmod(0.37 * n, 2 * M_PI);
        v.Dec = 0.6 * std::sin(0.11 * n);
        v.Scale = 1500 + 200 * (n % 5);
        v.AutoDrive = 0;
        const int days = step == 1 ? (n * 5) / 4 : 0;
        v.Year = step == 2 ? 2000 + n % 50 : 2026;
        v.Month = 1 + (days / 28) % 12, v.Day = 1 + days % 28;
        v.Hour = step != 0 ? (n * 6) % 24 : 20 + n % 3, v.Minute = (n * 7) % 60;
        return v;
    }
    TPartyPlan Plan() {
        TPartyPlan plan;
        plan.FolderOk = true;
        TPartyStep step;
        step.Name = "S000123-20260320120000" + std::to_string(n) + ".pty";
        step.At = {"20260320120000", static_cast<std::uint64_t>(n + 1)};
        step.Order.Kind = TPartyOrder::Sync;
        step.Order.View = Next();
        plan.Steps.push_back(step);
        plan.MarkMoved = true;
        plan.Mark = step.At;
        return plan;
    }
    // The clock set to the next Sync's moment without any drawing.
    void SetClock() {
        const TPartyView v = Next();
        sky->clkCal->SetYear(v.Year);
        sky->clkCal->SetMonth(v.Month);
        sky->clkCal->SetDay(v.Day);
        sky->clkCal->SetHour(v.Hour);
        sky->clkCal->SetMinute(v.Minute);
        sky->Mjd.SetNow(v.Year, v.Month, v.Day, v.Hour, v.Minute, 0, sky->DiffUT, sky->Summer);
        sky->Hayami->SetMJD(sky->Mjd.GetMJD());
        sky->Atlas->SetMJD(sky->Mjd.GetMJD());
    }
};

Receiver& R() {
    static Receiver r;
    return r;
}

void Sized(benchmark::State& state) {
    R().Size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    R().step = static_cast<int>(state.range(2));
    state.counters["atlas_w"] = R().sky->shpAtlas.width();
    state.counters["atlas_h"] = R().sky->shpAtlas.height();
}

// The whole of one Sync on the window's thread, and the paint it asks for:
// a Sync on the same day as the last, one on a new day (the stars move by
// their proper motions) and one in another year (they move further).
// prepared: the stars' places for the Sync's date worked out ahead, as the
// receiver's look does on its own thread.
void ApplyOneSync(benchmark::State& state, bool prepared) {
    Sized(state);
    Receiver& r = R();
    const std::string folder = r.party.Folder, id = r.party.OwnId;
    for (auto _ : state) {
        state.PauseTiming();
        const TPartyPlan plan = r.Plan();
        if (prepared) {
            const TPartyView& v = plan.Steps[0].Order.View;
            TMjd at;
            at.SetNow(v.Year, v.Month, v.Day, v.Hour, v.Minute, 0, r.sky->DiffUT, r.sky->Summer);
            for (TStar* star : {r.sky->Star.get(), r.sky->DeepStar.get()})
                if (star) star->Prepare(at.GetMJD());
        }
        state.ResumeTiming();
        r.sky->PartyApply(plan, folder, id);
        QApplication::processEvents(); // the coalesced paint
    }
}

void BM_ApplyOneSync(benchmark::State& state) {
    ApplyOneSync(state, false);
}

void BM_ApplyOneSyncPrepared(benchmark::State& state) {
    ApplyOneSync(state, true);
}

// The steps, each at a new moment (the clock setting is outside the timing).
template <class Step> void Timed(benchmark::State& state, Step step) {
    Sized(state);
    Receiver& r = R();
    for (auto _ : state) {
        state.PauseTiming();
        r.SetClock();
        state.ResumeTiming();
        step(r);
    }
}

void BM_SetTheView(benchmark::State& state) {
    // PartySync's own work on the controls before the recomputation: the
    // whole Sync less the recomputation below it.
    Timed(state, [](Receiver& r) {
        const TPartyView v = r.Next();
        r.sky->clkCal->SetYear(v.Year);
        r.sky->clkCal->SetMonth(v.Month);
        r.sky->clkCal->SetDay(v.Day);
        r.sky->clkCal->SetHour(v.Hour);
        r.sky->clkCal->SetMinute(v.Minute);
        r.sky->clkCal->update();
        r.sky->ShowTimeDifference();
    });
}

void BM_StarsToTheMoment(benchmark::State& state) {
    Timed(state, [](Receiver& r) {
        for (TStar* star : r.sky->Atlas->Star)
            if (star) star->MoveTo(r.sky->Mjd.GetMJD());
    });
}

void BM_BodiesToTheMoment(benchmark::State& state) {
    Timed(state, [](Receiver& r) {
        TBodySet& b = *r.sky->Bodies;
        const double mjd = r.sky->Mjd.GetMJD();
        b.Mercury.SetMjd(mjd), b.Venus.SetMjd(mjd), b.Mars.SetMjd(mjd);
        b.Jupiter.SetMjd(mjd), b.Saturn.SetMjd(mjd), b.Uranus.SetMjd(mjd);
        b.Neptune.SetMjd(mjd), b.Pluto.SetMjd(mjd), b.Sun.SetMjd(mjd), b.Moon.SetMjd(mjd);
    });
}

void BM_Planisphere(benchmark::State& state) {
    Timed(state, [](Receiver& r) { r.sky->RedrawPlanisphere(); });
}

void BM_Atlas(benchmark::State& state) {
    Timed(state, [](Receiver& r) { r.sky->RedrawAtlas(false); });
}

void BM_MoonPhase(benchmark::State& state) {
    Timed(state, [](Receiver& r) { r.sky->DrawMoonPhase(); });
}

void BM_Information(benchmark::State& state) {
    Timed(state, [](Receiver& r) { r.sky->RefreshObjectPicture(); });
}

void BM_PaintWholeWindow(benchmark::State& state) {
    Sized(state);
    Receiver& r = R();
    QImage target(r.sky->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        r.sky->render(&target);
        benchmark::DoNotOptimize(target.bits());
    }
}

// What follows a Sync that moved the mark: the log line and the saved mark.
void BM_LogAndSaveMark(benchmark::State& state) {
    Receiver& r = R();
    for (auto _ : state) {
        r.sky->PartyLog("S000123-202603201200001.pty: SYNC");
        std::string why;
        if (!r.sky->SaveParty(why)) state.SkipWithError(why.c_str());
    }
}

#define SIZES ->Args({1280, 900, 1})->Args({1280, 900, 2})->Args({1920, 1080, 1})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ApplyOneSync)
    ->Args({1280, 900, 0})
    ->Args({1280, 900, 1})
    ->Args({1280, 900, 2})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyOneSyncPrepared)
    ->Args({1280, 900, 1})
    ->Args({1280, 900, 2})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetTheView) SIZES;
BENCHMARK(BM_StarsToTheMoment) SIZES;
BENCHMARK(BM_BodiesToTheMoment) SIZES;
BENCHMARK(BM_Planisphere) SIZES;
BENCHMARK(BM_Atlas) SIZES;
BENCHMARK(BM_MoonPhase) SIZES;
BENCHMARK(BM_Information) SIZES;
BENCHMARK(BM_PaintWholeWindow) SIZES;
BENCHMARK(BM_LogAndSaveMark)->Unit(benchmark::kMillisecond);

} // namespace
