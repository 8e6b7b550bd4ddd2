// Writing a whole file so that a failure never leaves half of it: a file is
// written to a new file beside it and renamed into place when whole, so a
// failed write (a full disk) leaves the old file; a device or pipe
// (/dev/stdout, /dev/null) is written directly. Nothing is removed but the
// new file of a failed write.
#pragma once

#include <functional>
#include <string>

// `encode` writes the bytes to the descriptor it is given, false with the
// reason in its second argument. False, with the reason in `error`, when the
// file could not be written.
bool WriteWhole(const std::string& path, const std::function<bool(int, std::string&)>& encode,
                std::string& error);
