#pragma once
// Small text operations shared by the windows (site editor, main window, party windows).
// Texts are UTF-8; counts are characters (code points), so a multi-byte character is never
// cut in half. For plain ASCII texts a character is a byte.
#include <string>
#include <vector>

// The last n characters of s; the whole text when it is shorter. n <= 0 gives "".
std::string StrRight(const std::string& s, int n);
// s without its last n characters; "" when n is at least the length. n <= 0 keeps s.
std::string StrCutRight(const std::string& s, int n);
// s without its leading spaces (spaces only, not tabs).
std::string StrTrimLeft(const std::string& s);
// The lines of a text, each without its "\n" or "\r\n"; a last line without a
// line end counts too, an empty text has none.
std::vector<std::string> StrLines(const std::string& text);
