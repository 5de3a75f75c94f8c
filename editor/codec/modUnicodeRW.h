#pragma once
// Whole files as raw UTF-16LE text: two bytes a code unit, low byte first, no conversion.

#include <string>
#include <vector>

// Never raises: what cannot be read (no such file, not a plain file, no permission) comes
// back as empty text, or as what was read before a failure. An odd last byte becomes a
// unit of its own with high byte 0. With UseBOM, a text that begins with U+FEFF loses
// every U+FEFF it holds; otherwise the text is left as read.
std::u16string ReadUnicodeFile(const std::u16string &path, bool UseBOM);

// The text that ReadUnicodeFile makes of a file holding `bytes`.
std::u16string TextOfBytes(const std::vector<unsigned char> &bytes, bool UseBOM);

// Makes the file at `path` hold exactly the text's bytes (after FF FE when UseBOM). The
// bytes are written to a new file beside the old one, synced, and moved over it only once
// complete, so a failure leaves the old file exactly as it was and no new file behind.
// The old file's owner and mode are kept; a symbolic link stays a link and the file it
// leads to is replaced. A read-only file is refused, as deleting it would be; temporaries
// that an earlier, killed save of the same file left behind are removed. The path is
// taken literally: nothing in it is a wildcard.
// A failure raises RunTimeError (Source "WriteUnicodeFile") whose Description names the
// path and the system's reason.
void WriteUnicodeFile(const std::u16string &path, const std::u16string &text, bool UseBOM);
