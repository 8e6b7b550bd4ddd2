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

#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
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
}

void TfrmQVSKY::BuildFindIndex() {
    std::vector<std::uint32_t> hip;
    const std::string hipPath = PathIn(folder_, TFindIndex::HipFileName);
    std::error_code ec;
    // No file: no HIP names. A damaged one is said in the log.
    if (Star->Count > 0 && std::filesystem::exists(hipPath, ec)) {
        hip = TFindIndex::ReadHipNumbers(hipPath, Star->Count, FindProblem);
        if (!FindProblem.empty()) AppendErrLog(UserFolder, 0, FindProblem);
    }
    std::vector<TFindIndex::TMarkerName> markers;
    for (int i = 1; i <= Atlas->GetMarkerCount(); ++i) {
        const TMarker& m = Atlas->GetMarker(i);
        markers.push_back({m.name, m.ra, m.dec, m.id});
    }
    Names.Build(Star->Count > 0 ? Star.get() : nullptr, Nebula->Count > 0 ? Nebula.get() : nullptr,
                Constellation.get(), hip, markers);
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
