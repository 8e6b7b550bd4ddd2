// One run of quenlira-chart without the file writing: reads the catalogues,
// sets up the bodies and draws the chosen chart, so that tests can look at
// the picture in memory.
#pragma once

#include <memory>
#include <string>

#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "render/Clsdib.h"
#include "render/Clshayami.h"
#include "plan/Clshorizon.h"
#include "tools/chart/Chartoptions.h"

class TChartRun {
public:
    // Draws the chart of `o` for the moment `mjd`; the catalogues not named in
    // `o` are read from `folder`. False, with the reason in `error`, when a
    // catalogue has nothing in it.
    bool Run(const TChartOptions& o, const std::string& folder, double mjd, std::string& error);

    // The finished picture (valid after a successful Run).
    const TDIB& Picture() const { return *Result; }
    THayami* Hayami() { return Planisphere.get(); }
    TAtlas* Atlas() { return Chart.get(); }

    TBodySet Bodies;
    // Why the deep star layer was left out, when it was asked for or found
    // damaged (the chart is drawn without it).
    std::string Warning;
    // Why --horizon's file was not taken (the flat horizon is drawn).
    std::string HorizonWarning;

private:
    std::unique_ptr<TStar> Stars;
    std::unique_ptr<TStar> DeepStars;
    std::unique_ptr<TNebula> Nebula;
    std::unique_ptr<THayami> Planisphere;
    std::unique_ptr<TAtlas> Chart;
    TDIB Window;
    THorizon Profile;
    const TDIB* Result = nullptr;
};
