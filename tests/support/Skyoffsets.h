// The azimuthal equidistant chart worked out independently of the atlas, by
// great-circle distance (haversine) and bearing from the centre.
#pragma once

#include <cmath>

// Offsets in radians of (ra, dec) from the centre (ra0, dec0): x grows to
// the west (east is left), y to the south (north is up).
inline void AzimuthalOffsets(double ra0, double dec0, double ra, double dec, double& x, double& y) {
    const double dra = ra - ra0;
    const double hav = std::pow(std::sin((dec - dec0) / 2), 2) +
                       std::cos(dec) * std::cos(dec0) * std::pow(std::sin(dra / 2), 2);
    const double rho = 2 * std::asin(std::sqrt(hav));
    const double bearing =
        std::atan2(std::sin(dra) * std::cos(dec),
                   std::cos(dec0) * std::sin(dec) - std::sin(dec0) * std::cos(dec) * std::cos(dra));
    x = -rho * std::sin(bearing);
    y = -rho * std::cos(bearing);
}
