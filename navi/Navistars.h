// TNaviStars: the reference stars of the setting-circle navigation and the
// arithmetic behind it. For each star the user centred, we keep where it was
// seen in the sky and what the mount's circles read; from these the mount's
// polar axis is found and the circle readings for any target follow.
#pragma once

#include "astro/Clslocation.h"

#include <array>
#include <string>

struct TNaviStar {
    std::string Name;
    double SkyRa = 0.0, SkyDc = 0.0; // seen place (refraction included) at Time
    double CirRa = 0.0, CirDc = 0.0; // what the circles read
    double Time = 0.0;               // MJD (UT) of the readings
    double CatRa = 0.0, CatDc = 0.0; // the place of date handed in, without refraction
};

class TNaviStars {
public:
    static constexpr int kMax = 10;
    // Sidereal turn of the sky, radians per day of UT.
    static constexpr double kOmega = 1.00273791 * 24.0 * 15.0 * 3.14159265358979323846 / 180.0;

    int Count = 0;
    std::array<TNaviStar, kMax> Stars;

    enum TAddResult { Added, Duplicate, Full };

    // Adds a star whose place of date is (ra, dec), read on the circles as
    // (cirRa, cirDc) at refTime. A target named "ClickPoint" (a point clicked
    // on the chart) is numbered: name comes back as "ClickPoint3" and so on.
    TAddResult Add(const TLocation& site, std::string& name, double ra, double dec, double refTime,
                   double cirRa, double cirDc);
    // Whether Add would drop the target as one already listed.
    bool Listed(const std::string& name, double ra, double dec) const {
        int clicks = 0;
        return IsDuplicate(name, ra, dec, clicks);
    }
    // Removes star index (0-based); later stars move up. False when out of range.
    bool Delete(int index);
    void Clear() { Count = 0; }

    // Circle readings (cirRa in [0, 2pi], cirDc) at which the target (ra, dec)
    // is found at the instant t. False when there is no star, or no pair of
    // stars from which the polar axis can be found.
    bool Dial(const TLocation& site, double ra, double dec, double t, double& cirRa,
              double& cirDc) const;

    // With two or more stars: the sky place of the mount's polar axis at t
    // (P, Pdec) and the celestial pole in circle coordinates (Q, R), from
    // every usable pair combined by successive halving. False when no pair is
    // usable.
    bool Pole(double t, double& P, double& Pdec, double& Q, double& R) const;
    // Whether stars j and k span a direction: neither at the same place nor
    // opposite, on the sky (brought to one instant) and on the circles.
    bool PairUsable(int j, int k) const;

    // Where (ra, dec) is seen at the instant t: raised by refraction.
    static void Apparent(const TLocation& site, double t, double ra, double dec, double& ra2,
                         double& dec2);
    // x brought into [0, 2pi].
    static double Wrap(double x);

private:
    bool IsDuplicate(const std::string& name, double ra, double dec, int& clickCount) const;
};
