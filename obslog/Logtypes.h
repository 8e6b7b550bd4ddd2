// The records of the observing lists and the log, as the database holds
// them and as OAL and CSV files carry them. Angles are radians; moments are
// seconds of UT since 1970; an absent optional value is std::nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What was (or is to be) observed: a name that other programs understand,
// the kind of object, a J2000 place, and where the chart finds it.
struct TLogObject {
    std::string Name;
    // "star", "sun", "moon", "planet", "comet", "minor", or a deep-sky type:
    // "GX" galaxy, "OC" open cluster, "GC" globular, "PN" planetary nebula,
    // "GN" bright nebula, "DN" dark nebula; "" unknown.
    std::string Type;
    std::optional<double> Ra, Dec; // J2000, radians
    std::optional<double> Magnitude;
    std::string Constellation; // three-letter abbreviation
    // The chart's identity (kind 2 star, 3 body, 4 deep-sky, 5 satellite;
    // -1 none): a shortcut for centring, never needed to find the object.
    int Kind = -1;
    int Number = -1;
    bool operator==(const TLogObject&) const = default;
};

struct TObsList {
    std::int64_t Id = 0;
    std::string Name;
    bool operator==(const TObsList&) const = default;
};

struct TListEntry {
    std::int64_t Id = 0;
    std::int64_t ListId = 0;
    int Position = 0; // 1, 2, ... within its list
    TLogObject Object;
    std::string Note;
    bool Observed = false;
    bool operator==(const TListEntry&) const = default;
};

struct TObserver {
    std::int64_t Id = 0;
    std::string Name, Surname, Contact;
    bool operator==(const TObserver&) const = default;
};

struct TLogSite {
    std::int64_t Id = 0;
    std::string Name;
    double Lng = 0, Lat = 0;         // radians, east and north positive
    std::optional<double> Elevation; // metres
    int TimezoneMin = 0;             // standard time minus UT, minutes, without summer time
    bool operator==(const TLogSite&) const = default;
};

struct TLogScope {
    std::int64_t Id = 0;
    std::string Model, Type, Vendor;      // Type: the usual letter (N Newton, R refractor, ...)
    double Aperture = 0, FocalLength = 0; // millimetres, both above 0
    bool operator==(const TLogScope&) const = default;
};

struct TEyepiece {
    std::int64_t Id = 0;
    std::string Model, Vendor;
    double FocalLength = 0;              // millimetres, above 0
    std::optional<double> ApparentField; // degrees
    bool operator==(const TEyepiece&) const = default;
};

struct TFilter {
    std::int64_t Id = 0;
    std::string Model, Vendor;
    // "other", "broad band", "narrow band", "O-III", "H-beta", "H-alpha",
    // "color", "neutral", "corrective", "solar"
    std::string Type = "other";
    bool operator==(const TFilter&) const = default;
};

// The entries of one night at one site.
struct TLogSession {
    std::int64_t Id = 0;
    std::int64_t Begin = 0, End = 0; // UT seconds
    std::int64_t SiteId = 0;
    std::string Weather, Equipment, Comments;
    bool operator==(const TLogSession&) const = default;
};

struct TObservation {
    std::int64_t Id = 0;
    std::int64_t SessionId = 0; // 0: none (a new entry finds or opens its night's)
    std::int64_t ObserverId = 0, SiteId = 0;
    std::int64_t Begin = 0; // UT seconds
    int UtcOffsetMin = 0;   // local clock minus UT at that moment, summer time included
    TLogObject Object;
    std::int64_t ScopeId = 0, EyepieceId = 0, FilterId = 0; // 0: none
    std::optional<double> Magnification;
    int Seeing = 0;                     // Antoniadi 1 (perfect) .. 5 (very poor); 0 not given
    int Transparency = 0;               // 1 (very poor) .. 5 (excellent); 0 not given
    std::optional<double> FaintestStar; // naked-eye limiting magnitude
    std::optional<double> SkyQuality;   // mag per square arcsecond
    std::string Notes;
    bool operator==(const TObservation&) const = default;
};

// A whole log with its lists: what an export writes and an import reads.
// Ids are the database's, or within a file the file's own numbering.
struct TLogData {
    std::vector<TObserver> Observers;
    std::vector<TLogSite> Sites;
    std::vector<TLogScope> Scopes;
    std::vector<TEyepiece> Eyepieces;
    std::vector<TFilter> Filters;
    std::vector<TLogSession> Sessions;
    std::vector<TObservation> Observations;
};
