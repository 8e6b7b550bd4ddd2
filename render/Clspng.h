// Writes any raster as an indexed PNG with its colour table.
#pragma once

#include <string>

class TDIB;

// False, with a message in `error`, when the file cannot be written.
bool WritePng(const TDIB& dib, const std::string& path, std::string& error);
