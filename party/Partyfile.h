// Whole party files written so that no reader ever sees half of one: the
// bytes go to a temporary file in the same folder, which is renamed into
// place.
#pragma once

#include <string>

// Writes `bytes` to `temp`, optionally syncs it to the disk, and renames it
// to `path`. False with the system's reason; the temporary file is removed.
bool WriteFileInPlace(const std::string& path, const std::string& temp, const std::string& bytes,
                      bool sync, std::string& why);
// The system's reason for the last failed call.
std::string SystemReason();
