// The chart window's find field: the name index, the suggestions, and
// what choosing one does.
#include "app/Errhandler.h"
#include "app/Qvfind.h"
#include "app/Qvsky.h"

#include "catalog/Clsconstellation.h"
#include "catalog/Clsfolders.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "minor/Minorplace.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

void TfrmQVSKY::BuildFindControls() {
    edtFind = new TFindField(this);
    // Over the top of the planisphere: the atlas, where the choice will show,
    // stays in view while typing.
    edtFind->setGeometry(0, 0, kLeftWidth - 1, TFindField::kEditHeight);
    edtFind->Search = [this](const std::string& text) { return FindSuggestions(text); };
    edtFind->OnChoose = [this](const TFindIndex::THit& hit) {
        SetFocusArea(FindReturnArea);
        ChooseFound(hit);
    };
    edtFind->OnCancel = [this] { SetFocusArea(FindReturnArea); };
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    QObject::connect(find, &QShortcut::activated, this, [this] { OpenFind(); });
    // The horizon line on the atlas, on and off.
    auto* horizon = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    horizon->setContext(Qt::WindowShortcut);
    QObject::connect(horizon, &QShortcut::activated, this, [this] { ToggleHorizon(); });
}

void TfrmQVSKY::ToggleHorizon() {
    Atlas->ShowHorizon = !Atlas->ShowHorizon;
    RedrawAtlas(false);
}

void TfrmQVSKY::ReadNameList() {
    // No file: no names beyond the built-in ones. Lines that make no sense
    // are skipped and the rest kept; the log says so when the index is built.
    NameList.Read(PathIn(folder_, TNameList::FileName), NamesProblem);
    const std::string hipPath = PathIn(folder_, TFindIndex::HipFileName);
    std::error_code ec;
    // No file: no HIP names. A damaged one is said in the log.
    if (Star->Count > 0 && std::filesystem::exists(hipPath, ec))
        NameList.Hip = TFindIndex::ReadHipNumbers(hipPath, Star->Count, FindProblem);
}

void TfrmQVSKY::BuildFindIndex() {
    if (!FindProblem.empty()) AppendErrLog(UserFolder, 0, FindProblem);
    if (!NamesProblem.empty()) AppendErrLog(UserFolder, 0, NamesProblem);
    const std::vector<std::uint32_t>& hip = NameList.Hip;
    std::vector<TFindIndex::TMarkerName> markers;
    for (int i = 1; i <= Atlas->GetMarkerCount(); ++i) {
        const TMarker& m = Atlas->GetMarker(i);
        markers.push_back({m.name, m.ra, m.dec, m.id});
    }
    Names.Build(Star->Count > 0 ? Star.get() : nullptr, Nebula->Count > 0 ? Nebula.get() : nullptr,
                Constellation.get(), hip, markers, &NameList);
    if (!Minor && !minorJob_) LoadMinorBodies();
}

void TfrmQVSKY::OpenFind() {
    if (!edtFind->isVisible()) FindReturnArea = FocusArea;
    edtFind->Open();
}

std::vector<TFindIndex::THit> TfrmQVSKY::FindSuggestions(const std::string& text) {
    std::vector<TFindIndex::THit> hits = Names.Find(text, TFindField::kMaxRows);
    for (TFindIndex::THit& h : hits) {
        if (h.Kind == TFindIndex::Body) {
            const TBodySet& b = *Bodies;
            const double mags[10] = {b.Mercury.Mag, b.Venus.Mag,  b.Mars.Mag,    b.Jupiter.Mag,
                                     b.Saturn.Mag,  b.Uranus.Mag, b.Neptune.Mag, b.Pluto.Mag,
                                     b.Sun.Mag,     b.Moon.Mag};
            if (h.Number < 0 || h.Number > 9) continue;
            h.Mag = mags[h.Number];
            h.HasMag = true;
        } else if (h.Kind == TFindIndex::Satellite) {
            h.Mag = Bodies->Jupiter.SatMag[(h.Number - 11) & 3];
            h.HasMag = true;
        }
    }
    // Comets and asteroids after the catalogues' objects, with their magnitude now.
    if (const TMinorList* minor = MinorBodies()) {
        // A body named exactly ("1P", "2024 YR4") goes first; others fill the rows left.
        std::vector<int> found;
        const int exact = minor->Find(text);
        if (exact >= 0) found.push_back(exact);
        for (int k : minor->Suggest(text, TFindField::kMaxRows))
            if (k != exact) found.push_back(k);
        const int room = std::max(TFindField::kMaxRows - int(hits.size()), exact >= 0 ? 1 : 0);
        if (int(found.size()) > room) found.resize(room);
        if (exact >= 0 && int(hits.size()) + 1 > TFindField::kMaxRows) hits.pop_back();
        std::vector<TFindIndex::THit> extra;
        for (int k : found) {
            const TMinorBody& b = minor->Bodies[k];
            TFindIndex::THit h;
            h.Kind = kMinorKind;
            h.Number = k;
            h.Name = b.Label();
            h.KindText = b.Comet ? "comet" : "asteroid";
            TMinorPlace p;
            p.Compute(b, Mjd.GetMJD());
            h.HasMag = p.Valid && std::isfinite(p.Mag);
            h.Mag = h.HasMag ? p.Mag : 0.0;
            extra.push_back(h);
        }
        hits.insert(exact >= 0 ? hits.begin() : hits.end(), extra.begin(), extra.end());
    }
    return hits;
}

void TfrmQVSKY::ChooseFound(const TFindIndex::THit& hit) {
    switch (hit.Kind) {
    case TFindIndex::Star:
        if (hit.Number < 0 || hit.Number >= Star->Count) return;
        ShowObjectInfo(2, hit.Number);
        CenterRa = (*Star)[hit.Number].ra;
        CenterDec = (*Star)[hit.Number].dec;
        break;
    case TFindIndex::Body: {
        ShowObjectInfo(3, hit.Number);
        const TAtlas::BodyPlace p = Atlas->PlaceBody(hit.Number);
        if (p.present) {
            CenterRa = p.ra;
            CenterDec = p.dec;
        }
        break;
    }
    case TFindIndex::Satellite:
        if (hit.Number < 11 || hit.Number > 14) return;
        ShowObjectInfo(5, hit.Number);
        SatellitePlace(hit.Number, CenterRa, CenterDec);
        break;
    case TFindIndex::DeepSky:
        if (hit.Number < 0 || hit.Number >= Nebula->Count) return;
        ShowObjectInfo(4, hit.Number);
        CenterRa = (*Nebula)[hit.Number].ra;
        CenterDec = (*Nebula)[hit.Number].dec;
        break;
    case kMinorKind: {
        const TMinorList* minor = MinorBodies();
        if (!minor || hit.Number < 0 || hit.Number >= int(minor->Bodies.size())) return;
        ShowMinorInfo(hit.Number);
        TMinorPlace p;
        p.Compute(minor->Bodies[hit.Number], Mjd.GetMJD());
        if (!p.Valid) return;
        CenterRa = p.RaJ2000;
        CenterDec = p.DecJ2000;
        break;
    }
    default:
        // A constellation or an option-file object: the chart moves, the
        // information stays, as from the lists.
        if (!hit.HasPlace) return;
        CenterRa = hit.Ra;
        CenterDec = hit.Dec;
        break;
    }
    RedrawAtlas(true);
    UpdatePointer(CenterRa, CenterDec);
}
