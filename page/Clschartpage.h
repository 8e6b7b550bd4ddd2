// The atlas and the planisphere as page contents: their drawing through the
// page's target, the border labels' projection and the legend's figures.
// The caller adds the title and the legend's lines of text.
#pragma once

#include "page/Clspagewriter.h"

class TAtlas;
class THayami;

// The atlas as it is set up (drawn once already, for its limit and symbols).
TPageContent AtlasPage(TAtlas& atlas, bool print);
// The planisphere, with its bright stars named; flags as DrawHayami takes them.
TPageContent PlanispherePage(THayami& hayami, int flags, bool print);
