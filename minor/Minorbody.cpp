#include "minor/Minorbody.h"

std::string TMinorBody::Label() const {
    if (Comet) {
        // Periodic comets are named "12P/Pons-Brooks"; the others "C/2023 A3 (Name)".
        if (Number > 0) return Name.empty() ? Designation : Designation + "/" + Name;
        return Name.empty() ? Designation : Designation + " (" + Name + ")";
    }
    if (Number > 0) {
        const std::string n = "(" + std::to_string(Number) + ")";
        if (!Name.empty()) return n + " " + Name;
        return Designation.empty() ? n : n + " " + Designation;
    }
    return Designation;
}
