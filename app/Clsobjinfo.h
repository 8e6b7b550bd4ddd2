// TObjectInfo: the texts of the chart window's information memo for the
// selected object (the site, the clicked point, a star, a body, a deep-sky
// object, a satellite of Jupiter), with the rise and set times they show.
// It needs no display: the window hands it the site, the displayed moment,
// the bodies and the catalogues, and puts the result into its controls.
#pragma once

#include <functional>
#include <string>

class TConstellation;
class TLocation;
class TMjd;
class TNameList;
class TNebula;
class TStar;
class THorizon;
struct TBodySet;
struct TMinorBody;

class TObjectInfo {
public:
    TObjectInfo(const TLocation& site, const TMjd& moment, TBodySet& bodies,
                const TConstellation& constellation);

    // Catalogues (any may be null when its file failed to load). Star numbers
    // past Star's records are records of DeepStar, the deep star layer, as
    // the atlas numbers them.
    const TStar* Star = nullptr;
    const TStar* DeepStar = nullptr;
    const TNebula* Nebula = nullptr;
    // The names beside the catalogues, with the stars' Hipparcos numbers (may be null).
    const TNameList* Names = nullptr;
    // The site's time difference and summer time, the calendar clock's date
    // and time texts, the Moon's age in days and the atlas's last picked point.
    double DiffUT = 0.0;
    int Summer = 0;
    std::string DateText, TimeText;
    double MoonAge = 0.0;
    double PickRa = 0.0, PickDec = 0.0;
    // The observer's horizon profile: risings and settings come over it
    // (null or flat: over the astronomical horizon).
    const THorizon* Horizon = nullptr;

    struct TResult {
        bool Valid = false;   // false: unknown kind or index, nothing to show
        std::string Text;     // memo text, lines joined by CR LF
        std::string NaviName; // name handed to navigation
        double NaviRa = 0.0;  // position of date (topocentric for bodies)
        double NaviDec = 0.0;
        int PicKind = 0; // what the picture shows
        std::string PicName;
        // The numbers behind the text.
        double Ra2000 = 0.0, Dec2000 = 0.0;
        double Azimuth = 0.0, Altitude = 0.0; // altitude with refraction
        bool HasRise = false, HasSet = false;
        double Rise = 0.0, Set = 0.0; // local time of day, radians
        int Up = 0; // 1 always up, -1 never rises, 0 it crosses (or not that day)
    };

    // Kinds 1 click point, 2 star (record), 3 body 0-9, 4 deep-sky (record),
    // 5 satellite 11-14. The bodies are left at the displayed moment.
    TResult Build(int kind, int index);

    // A comet or an asteroid: place, distances, magnitude, phase angle, rise and set, its
    // elements, and a warning when their epoch is more than a year from the moment shown.
    TResult BuildMinor(const TMinorBody& b);

    // The observing site's text.
    static std::string SiteText(const std::string& name, double lng, double lat, double height,
                                double diffUT, double summer);

    // Rising (which 0) or setting (1) of a fixed position of date on the
    // displayed local date: false when it does not happen; time is the local
    // time of day, radians in [0, 2pi).
    bool RiseSetTime(int which, double dec, double ra, double& time) const;
    // The same for a body 0-9 or a satellite 11-14, following its motion.
    bool BodyRiseSetTime(int which, int body, double& time);

    // "2026/12/07 21:30(UT+9.0)", with " +1" after the date in summer time.
    std::string DateLine() const;

    // A number by a picture pattern: '0' a digit always written, '#' a digit
    // written when it matters ("#0.#0" two decimals, "#0.####" up to four,
    // "#####0" none). Rounded half away from zero.
    static std::string FormatFloat(double value, const std::string& pattern);
    // "05h35m17s+5°23.5'": right ascension and signed declination.
    static std::string PositionText(double ra, double dec);
    // An apparent size: whole arc minutes above one arc minute, else arc seconds.
    static std::string SizeText(double rad);

private:
    struct TBodyValues {
        double Ra, Dec, DistKm, EarthAu, SunAu, Elong, HelioLon, HelioLat, GeoLon, GeoLat, Diam,
            Mag;
        bool HasHelio;
    };
    bool SetBody(int body, double mjd, TBodyValues& v);
    std::string RiseSetText(bool has, double time) const;
    // " Rise:21:40 Set:05:12", " Always up" or " Never rises".
    std::string RiseSetPart(const TResult& r) const;
    bool OverProfile() const;
    // Rising and setting over the horizon profile on the displayed date, of
    // a place of date at any instant (radians) whose limb is `semi` wide.
    void ProfileRiseSet(const std::function<void(double, double&, double&)>& place, double semi,
                        TResult& r) const;
    // Whether a place of this declination stays above (1) or below (-1) the
    // level all day, or crosses it (0).
    int UpState(double dec, double level) const;
    std::string Tail(double dateRa, double dateDec, double ra2000, double dec2000,
                     TResult& r) const;

    const TLocation& site_;
    const TMjd& moment_;
    TBodySet& bodies_;
    const TConstellation& constellation_;
};
