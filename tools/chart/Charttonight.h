// quenlira-chart --tonight: the night's times and the planner's list as
// text, so that scripts (and tests) get what the planner window shows.
#pragma once

#include <ctime>
#include <string>

#include "tools/chart/Chartoptions.h"

// The text for the site, evening and filters of `o`; catalogues not named in
// `o` come from `folder`. False, with the reason in `error`, when a
// catalogue is empty. A bad horizon file is no failure: `warning` says why
// and the flat horizon is used.
bool ChartTonight(const TChartOptions& o, const std::string& folder, std::time_t now,
                  std::string& text, std::string& warning, std::string& error);
