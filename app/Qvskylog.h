// Between the chart window and the observing lists and log: the chart's
// selected object as the log names it, and the chart centred on an object
// of a list.
#pragma once

#include "obslog/Logtypes.h"

class TfrmQVSKY;
class TNebula;
struct TPlanEntry;

// The selected object (a star, body, deep-sky object or satellite) with its
// name, kind, J2000 place, magnitude and constellation; false when nothing
// that can be listed is selected.
bool SelectedLogObject(TfrmQVSKY& sky, TLogObject& o);
// Centres the atlas on o and shows its information: found by its name in
// the chart's index first, then by the chart's identity, then by its place.
void CentreChartOn(TfrmQVSKY& sky, const TLogObject& o);
// A row of the night planner as a list names it: deep-sky objects by their
// Messier or catalogue number with the log's type (nebula: their record's
// catalogue, may be null), bodies where they stand at the darkest moment.
TLogObject PlanLogObject(const TPlanEntry& e, const TNebula* nebula);
