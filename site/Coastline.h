// The world map's coastlines: polylines on the Mercator grid of TWorldMap,
// each its point count followed by that many x y pairs (stored as map
// position + 1), the whole table ending with 9999 where the next count
// would stand. Built from Natural Earth land polygons (data/SOURCES.md).
#pragma once

#include <cstddef>
#include <cstdint>

extern const std::int16_t kCoastline[];
extern const std::size_t kCoastlineSize;
