#pragma once
// Unicode's simple case folding of one UTF-16 unit, for finding text without regard to
// case in any script: a capital and its small letter fold alike, in Cyrillic and Greek as
// in Latin. Units beyond the Basic Multilingual Plane fold to themselves. Plain C++.

namespace textsearch {

char16_t SimpleCaseFold(char16_t unit);

} // namespace textsearch
