// TFinder: the rules of a finder chart, the chart an observer takes to the
// eyepiece to find one object: its field, the stars it shows, and the
// field-of-view rings (Telrad rings, eyepiece and finder fields) drawn about
// the object. Also reads the list of rings the chart window draws on its
// atlas, from a text file the user keeps. Plain C++: testable without a display.
#pragma once

#include <string>
#include <vector>

class TFinder {
public:
    // A ring: its radius in radians and the words it is labelled with.
    struct TRing {
        double Radius = 0;
        std::string Label;
    };

    // The rings of a Telrad finder: 0.5, 2 and 4 degrees across.
    static std::vector<TRing> Telrad();

    // A field's diameter as a user writes it: degrees ("2", "0.5", "2d",
    // "2°") or minutes of arc ("30'", "30m", "30arcmin"); from 1' to 90°.
    // False, with the reason, for anything else.
    static bool ParseField(const std::string& text, TRing& ring, std::string& why);

    // The scale (pixels per radian) at which the widest of `rings` fills about
    // half the shorter side of a chart, so the field around it shows too.
    static int Scale(const std::vector<TRing>& rings, int chartWidth, int chartHeight);

    // Limiting magnitude x 100 that suits a field of `fieldRadians` across:
    // 9 for 10 degrees, a magnitude fainter for each halving of the field,
    // between 6 and 13.
    static int LimitForField(double fieldRadians);

    // The rings file: one field a line as ParseField takes it, '#' starting a
    // comment, empty lines skipped; at most MaxRings rings. A line "off"
    // hides the rings on the window's atlas ("on" shows them, as without).
    // Lines that cannot be read are left out and said in `problems`
    // ("line 3: ...").
    static constexpr int MaxRings = 20;
    static std::vector<TRing> ReadRings(const std::string& text, std::vector<std::string>& problems,
                                        bool* shown = nullptr);
    // `text` with its "on" and "off" lines taken out and, when hidden, "off"
    // put first; the rest as it was.
    static std::string SetShown(const std::string& text, bool shown);
    // The name of the rings file, beside the settings file, and what it holds
    // before the user writes one: the Telrad rings, hidden.
    static constexpr const char* FileName = "Rings.txt";
    static std::string DefaultRings();
};
