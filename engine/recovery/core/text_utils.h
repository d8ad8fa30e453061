#pragma once

// Date and time texts of the results list and the matching of file names against the user's patterns.

#include <cstdint>

// Room that FormatFileTime and FormatFatDate need, terminator included.
inline constexpr int kFileTimeTextSize = 24;
inline constexpr int kFatDateTextSize = 12;

// day "-" month "-" year " " hour ":" minute ":" second of a FILETIME (UTC, not converted to local
// time), every number without leading zeros: 5-3-2009 7:4:9. Returns `out`.
char16_t* FormatFileTime(std::uint32_t lowHalf, std::uint32_t highHalf, char16_t* out);

// "DD-MM-YYYY " of a FAT date word (day bits 0-4, month bits 5-8, year bits 9-15 from 1980), with the
// trailing space. Returns `out`.
char16_t* FormatFatDate(std::uint16_t fatDate, char16_t* out);

// 1 when the name matches the pattern, else 0. Besides the usual "*" and "?", a pattern without either
// matches any name that contains it, and "*.*" needs a "." in the name.
int MatchWildcard(const char16_t* name, const char16_t* pattern);
