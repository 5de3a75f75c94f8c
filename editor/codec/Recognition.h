#pragma once
// Telling a config file from a file that only bears its name. Plain C++.

#include <string_view>

// Whether `stored` (a file's units as ReadUnicodeFile gives them, no byte-order mark
// taken off) is something this editor's save could have written: every unit the cipher
// writes is below 0x100, so a file with any non-zero byte at an odd offset was not
// written by it, and no save writes more units than the longest text holds. Plain text in
// an 8-bit encoding or UTF-8 (with or without its mark), UTF-16 text with its mark and
// nearly every binary fail at once; every file a save writes passes. An empty file
// passes, and an odd last byte alone (a unit of its own below 0x100) does too.
bool LooksEnciphered(std::u16string_view stored);
