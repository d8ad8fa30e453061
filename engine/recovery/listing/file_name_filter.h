#pragma once

// The user's file filters (FileFilterTable) applied to a name found on a disk, by the listings and by
// the savers of a selection.

#include <string>
#include <string_view>

// The name in upper case as the filters compare it: ASCII, Latin-1, Greek and Cyrillic letters; every
// other character stays.
std::u16string UpperCaseName(std::u16string_view name);

// True when the table holds no pattern, or when the upper-cased name matches (MatchWildcard) one of the
// upper-cased patterns, tried in table order.
bool PassesFileFilter(const char16_t* name);
