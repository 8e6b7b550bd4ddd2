#pragma once
// THorizon: the observer's own horizon, a profile of altitude against
// azimuth read from a text file of "azimuth altitude" pairs in degrees
// (azimuth from north through east), one pair a line, '#' starting a
// comment; the layout other planetariums' horizon files use. Between the
// points the altitude runs linearly, and round from the last point to the
// first. An empty profile is the flat horizon.
#include <string>
#include <string_view>
#include <vector>

class THorizon {
public:
    struct TPoint {
        double Az = 0.0;  // degrees, 0 to 360
        double Alt = 0.0; // degrees, -30 to 90
    };

    // Reads the text of a file called `name` (for the messages). A text with
    // a bad line, azimuths out of order or repeated, an altitude out of range
    // or no points at all leaves the profile flat and says why in `error`,
    // naming the file and the line. True when the profile was taken.
    bool Parse(std::string_view text, const std::string& name, std::string& error);
    // The same from a file on disk; the file is only read.
    bool Load(const std::string& path, std::string& error);
    void Clear() { points_.clear(); Path.clear(); }

    bool Flat() const { return points_.empty(); }
    const std::vector<TPoint>& Points() const { return points_; }
    std::string Path; // the file the profile came from, empty when flat

    // The profile's altitude towards an azimuth, both in radians (0 when flat).
    double AltitudeAt(double azimuth) const;
    // The true altitude (radians) at which an object's centre stands on the
    // horizon line towards `azimuth`: the almanac's -34' of refraction on the
    // flat horizon, the profile less its refraction (Bennett) otherwise.
    double RiseAltitude(double azimuth) const;

    static constexpr double kMinAlt = -30.0, kMaxAlt = 90.0;

private:
    std::vector<TPoint> points_;
};
