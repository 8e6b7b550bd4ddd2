// One comet or asteroid as read from the Minor Planet Center's element files: its names
// and its osculating elements, all referred to the ecliptic and equinox of J2000.
#pragma once

#include <string>

struct TMinorBody {
    std::string Packed;      // the file's own key: "00001", "K24Y04R", "0001P", "CK23A030"
    std::string Designation; // readable: "2024 YR4", "1P", "C/2023 A3"; numbered asteroids: ""
    std::string Name;        // "Ceres", "Halley", "Tsuchinshan-ATLAS"; may be empty
    int Number = 0;          // asteroid number, or a periodic comet's number
    bool Comet = false;

    double q = 0.0;     // perihelion distance, AU
    double e = 0.0;     // eccentricity
    double i = 0.0;     // inclination, radians
    double Node = 0.0;  // longitude of the ascending node, radians
    double Peri = 0.0;  // argument of perihelion, radians
    double T = 0.0;     // time of perihelion, MJD (TT)
    double Epoch = 0.0; // epoch of osculation, MJD (TT); for a comet without one, T

    // Asteroids: H, G. Comets: total magnitude M1 + 5 log delta + K1 log r.
    bool HasMag = false;
    double H = 0.0, G = 0.15;
    double M1 = 0.0, K1 = 0.0;

    // What the memo and the lists show: "(1) Ceres", "2024 YR4", "12P/Pons-Brooks",
    // "C/2023 A3 (Tsuchinshan-ATLAS)".
    std::string Label() const;
};
