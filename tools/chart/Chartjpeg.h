// The chart as a JPEG picture, through libjpeg-turbo.
#pragma once

#include <string>

class TDIB;

// Quality 1 to 100; in the screen's colours, or black on white with
// `printColours` (see PrintColour). False, with the reason, when not written;
// an existing file is then left as it was.
bool WriteChartJpeg(const TDIB& dib, int quality, bool printColours, const std::string& path,
                    std::string& error);
