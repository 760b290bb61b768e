#pragma once
#include <string>
#include <string_view>

// Text conversions for mem.ini: the program keeps UTF-8 in memory, while a file carried over
// from a Windows PC holds code page 1251.
namespace kvel {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Every byte has a meaning: 0x98, undefined in code page 1251, stands for U+0098 as on Windows,
// so any byte string survives cp1251ToUtf8 followed by utf8ToCp1251 unchanged.
std::string cp1251ToUtf8(std::string_view bytes);

// True when every character of well-formed UTF-8 text has a byte in code page 1251.
bool fitsCp1251(std::string_view utf8);

// Characters code page 1251 cannot hold, and malformed UTF-8 bytes, become '?'.
std::string utf8ToCp1251(std::string_view utf8);

// Replaces each malformed byte with '?', so the result is valid UTF-8.
std::string sanitizeUtf8(std::string_view utf8);

// Lower-case form for case-insensitive names: ASCII and every Cyrillic letter of code page 1251.
// Malformed bytes pass through unchanged.
std::string foldCase(std::string_view utf8);

}  // namespace kvel
