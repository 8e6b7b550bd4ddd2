#pragma once
// TBodySet: one object of each body class, as a chart window owns them, handed
// to the renderers by reference (they never copy a body).

#include "astro/Clsjupiter.h"
#include "astro/Clsmars.h"
#include "astro/Clsmercury.h"
#include "astro/Clsmoon.h"
#include "astro/Clsneptune.h"
#include "astro/Clspluto.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "astro/Clsuranus.h"
#include "astro/Clsvenus.h"

struct TBodySet {
    TMercury Mercury;
    TVenus Venus;
    TMars Mars;
    TJupiter Jupiter;
    TSaturn Saturn;
    TUranus Uranus;
    TNeptune Neptune;
    TPluto Pluto;
    TSun Sun;
    TMoon Moon;

    // Sets a renderer's ten body references (the atlas and the planisphere
    // name them alike).
    template <class Chart> void Hand(Chart& chart) {
        chart.Mercury = &Mercury;
        chart.Venus = &Venus;
        chart.Mars = &Mars;
        chart.Jupiter = &Jupiter;
        chart.Saturn = &Saturn;
        chart.Uranus = &Uranus;
        chart.Neptune = &Neptune;
        chart.Pluto = &Pluto;
        chart.Sun = &Sun;
        chart.Moon = &Moon;
    }
};
