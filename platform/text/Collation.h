#pragma once
// Locale-aware, case-insensitive comparison of Windows-1252 strings, following the
// Windows word sort: letter case ignored; hyphen and apostrophe ignored unless the strings
// are otherwise equal; other punctuation (including "_") before digits, digits before
// letters; accented letters next to their base letter.

#include <string>
#include <string_view>

namespace text {

// <0, 0 or >0. Equal only for strings that differ in nothing but letter case.
int CompareText(std::string_view a, std::string_view b);

inline bool TextLess(std::string_view a, std::string_view b) { return CompareText(a, b) < 0; }

// Equality ignoring letter case of the whole code page (not only ASCII).
bool SameTextCp1252(std::string_view a, std::string_view b);

// The lower-case form under this collation: CompareText(a, b) == 0 exactly when the folds of a
// and b are equal.
std::string FoldCase(std::string_view s);

} // namespace text
