// Writes any raster as an indexed PNG with its colour table.
#pragma once

#include <string>

class TDIB;

// A file is written to a new file beside it and renamed into place when
// whole, so a failed write (a full disk) leaves the old picture; a device or
// pipe is written directly. Nothing is removed but the new file of a failed
// write. False, with the reason in `error`, when the picture could not be
// written.
bool WritePng(const TDIB& dib, const std::string& path, std::string& error);
