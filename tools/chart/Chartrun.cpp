#include "tools/chart/Chartrun.h"

#include "tools/chart/Chartwindow.h"

#include <filesystem>

#include "catalog/Clsdeepstar.h"
#include "catalog/Clsfind.h"
#include "finder/Clsfinder.h"

bool TChartRun::Run(const TChartOptions& o, const std::string& folder, double mjd,
                    std::string& error) {
    Result = nullptr;
    const bool planisphere = o.Chart != "atlas", atlas = o.Chart != "planisphere";
    const std::string starPath = o.Stars.empty() ? folder + "/Star.dat" : o.Stars;
    Stars = std::make_unique<TStar>(starPath);
    if (Stars->Count == 0) {
        error = "no stars in " + starPath + (Stars->Error.empty() ? "" : ": " + Stars->Error);
        return false;
    }
    if (atlas) {
        const std::string deepPath = o.DeepSky.empty() ? folder + "/Unsta.dat" : o.DeepSky;
        Nebula = std::make_unique<TNebula>(deepPath);
        if (Nebula->Count == 0) {
            error = "no deep-sky objects in " + deepPath +
                    (Nebula->Error.empty() ? "" : ": " + Nebula->Error);
            return false;
        }
    }
    Warning.clear();
    DeepStars.reset();
    if (atlas && o.DeepStars != "none") {
        const std::string path =
            o.DeepStars.empty() ? folder + "/" + TDeepStar::FileName : o.DeepStars;
        std::error_code ec;
        // Absent beside the program is no fault; a named file must be there.
        if (!o.DeepStars.empty() || std::filesystem::exists(path, ec))
            DeepStars = TDeepStar::Open(path, Warning);
    }
    const double deg = 3.14159265358979323846 / 180.0;
    // The observer's profile: the planisphere's ground, the atlas's horizon line.
    HorizonWarning.clear();
    Profile.Clear();
    if (!o.Horizon.empty()) {
        std::string why;
        if (!Profile.Load(o.Horizon, why)) HorizonWarning = why;
    }

    if (planisphere) {
        // The window's planisphere keeps its panel size whatever --size says.
        const bool window = o.Chart == "window";
        Planisphere =
            std::make_unique<THayami>(o.Language, window ? kPlanispherePanelWidth : o.Width,
                                      window ? kPlanispherePanelWidth : o.Height);
        Planisphere->SetLng(o.LonDeg * deg);
        Planisphere->SetLat(o.LatDeg * deg);
        Planisphere->SetMJD(mjd);
        Planisphere->Star = Stars.get();
        if (!Profile.Flat()) Planisphere->SetHorizon(&Profile);
        Bodies.Hand(*Planisphere);
        if (o.TargetKind == 3)
            Planisphere->SetTargetBody(o.TargetNumber);
        else if (o.TargetKind != 0)
            Planisphere->SetTarget(o.TargetRa, o.TargetDec);
        Planisphere->DrawHayami(o.Ring ? 1 : 0);
    }

    if (atlas) {
        Chart = std::make_unique<TAtlas>(o.Language, o.Width, o.Height);
        Chart->SetLng(o.LonDeg * deg);
        Chart->SetLat(o.LatDeg * deg);
        Chart->SetMJD(mjd);
        // The horizon line, over the observer's profile when one is given.
        Chart->ShowHorizon = o.HorizonLine;
        Chart->Horizon = &Profile;
        Chart->Star[0] = Stars.get();
        Chart->Star[1] = DeepStars.get();
        Chart->Nebula = Nebula.get();
        Bodies.Hand(*Chart);
        double ra = o.RaHours * 15.0 * deg, dec = o.DecDeg * deg;
        if (o.CenterBody >= 0) {
            // Where the atlas draws the body: topocentric, standard equinox.
            const TAtlas::BodyPlace p = Chart->PlaceBody(o.CenterBody);
            ra = p.ra;
            dec = p.dec;
        }
        // In the order the chart window hands its view to the atlas.
        Chart->SetViewWidth(o.Width);
        Chart->SetViewHeight(o.Height);
        Chart->SetScale(o.Scale);
        Chart->SetSensitivity(o.Sensitivity);
        for (int n = 1; n <= 8; ++n)
            Chart->SetSwitch(n, o.Switches[n - 1]);
        Chart->SetCenterRa(ra);
        Chart->SetCenterDec(dec);
        Chart->SetTarget(o.TargetKind, o.TargetNumber, o.TargetRa, o.TargetDec);
        if (o.Finder) {
            for (const TFinder::TRing& r : TFinder::Telrad())
                Chart->Rings.push_back({r.Radius, r.Label});
            // Letters and names for the stars three magnitudes above the limit.
            Chart->LabelLimit = (o.Limit != 0 ? o.Limit : Chart->GetLimit()) - 300;
        }
        for (const TChartOptions::TFov& f : o.Fov)
            Chart->Rings.push_back({f.Radius, f.Label});
        Chart->FixedLimit = o.Limit;
        Chart->Draw();
    }

    if (planisphere && atlas) {
        ComposeWindow(Planisphere->DIB, Chart->GetDib(), Window);
        Result = &Window;
    } else {
        Result = planisphere ? &Planisphere->DIB : &Chart->GetDib();
    }
    return true;
}
