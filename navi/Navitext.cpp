#include "navi/Navitext.h"

#include "astro/Clsdegree.h"

namespace {

TDegrees Formatter(double rad) {
    TDegrees d;
    d.SetLng(1);
    d.SetRad(rad);
    return d;
}

} // namespace

std::string TNaviText::Ra(double rad) {
    return Formatter(rad).TextTime(1, 0);
}

std::string TNaviText::Dc(double rad) {
    const std::string text = Formatter(rad).TextDeg(0, 2);
    return rad >= 0.0 ? "+" + text : text;
}

std::string TNaviText::NoRa() {
    return "--h--m";
}

std::string TNaviText::NoDc() {
    return "+--.--" + Formatter(0.0).GetMark();
}
