#pragma once
// Conversion between the Shift-JIS (code page 932) bytes of the text files on disk and the
// UTF-8 texts used everywhere inside the program. Only the file classes and file readers call
// these; nothing else sees Shift-JIS.
#include <string>
#include <string_view>

// Shift-JIS bytes to UTF-8. A byte sequence that is not valid code page 932 becomes U+FFFD,
// one per offending byte, so a damaged file still yields readable text.
std::string SjisToUtf8(std::string_view sjis);

// UTF-8 to Shift-JIS bytes. A character code page 932 cannot hold (or a broken UTF-8 byte)
// is written as "?" and exact becomes false. exact is true only when the bytes read back
// as the very same text: characters the code page maps one way only (the yen sign, the
// minus sign, the wave dash ...) make it false too.
std::string Utf8ToSjis(std::string_view utf8, bool& exact);
std::string Utf8ToSjis(std::string_view utf8);

// Reads a whole Shift-JIS file into UTF-8. False when the file cannot be read.
bool LoadSjisFile(const std::string& path, std::string& utf8);

// text without its leading and trailing bytes of value 32 and below (blanks, tabs, CR, LF and
// other control bytes). Bytes of 0x80 and above are never trimmed.
std::string TrimControls(std::string_view text);
