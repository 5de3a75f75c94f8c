#pragma once
// Whole files as raw UTF-16LE text: two bytes a code unit, low byte first, no conversion.

#include <string>

// Never raises: what cannot be read comes back as empty text (or what was read so far).
// An odd last byte becomes a unit of its own. With UseBOM, a text that begins with
// U+FEFF loses every U+FEFF it holds.
std::u16string ReadUnicodeFile(const std::u16string &path, bool UseBOM);

// Replaces the file at `path` with the text's bytes (after FF FE when UseBOM). The new
// bytes are written beside the old file and moved over it only once complete, so a
// failure leaves the old file as it was; it reaches the caller as a RunTimeError whose
// Description names the path and the reason.
void WriteUnicodeFile(const std::u16string &path, const std::u16string &text, bool UseBOM);
