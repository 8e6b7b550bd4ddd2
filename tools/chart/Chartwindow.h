// The chart window's picture: the planisphere panel at the left and the atlas
// to its right, in one raster with the two colour tables merged.
#pragma once

class TDIB;

// The planisphere panel's width and where the atlas panel starts.
constexpr int kPlanispherePanelWidth = 280;
constexpr int kAtlasPanelLeft = 281;

// A planisphere wider than its panel is cut at the panel's edge.
// Makes `out` (kAtlasPanelLeft + atlas width) x (the taller of the two) with
// the planisphere at (0, 0), the atlas at (kAtlasPanelLeft, 0) and black
// elsewhere. Its colour table holds the planisphere's colours, then the
// atlas's; every pixel keeps its colour.
void ComposeWindow(const TDIB& planisphere, const TDIB& atlas, TDIB& out);
