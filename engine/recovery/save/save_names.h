#pragma once

// Names found on a disk or in a snapshot are data, not paths. Before such a name becomes part of a path
// under the folder the user chose, it is made into one component that Windows takes as it stands:
// nothing in it can climb out of the folder, name a device, open an alternate data stream, or be
// silently shortened by the system's path rules. Paths use "\" as the separator.

#include <cstdint>
#include <string>
#include <string_view>

// The name as one safe path component, kept readable:
// - "\", "/", ":", "*", "?", "\"", "<", ">", "|" and the control characters 1 to 31 (and 0) become "_";
// - a device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9 with their superscript forms, CONIN$, CONOUT$,
//   CLOCK$), also with an extension and trailing spaces before the dot ("aux.txt", "NUL .x"), gets "_"
//   in front;
// - a name that ends in a dot or a space (".", "..", "name.") gets "_" appended, so that the system
//   neither drops those characters nor reads a dot name as the folder itself or its parent;
// - an empty name becomes "_".
// A name that needs none of this comes back unchanged.
std::u16string MakeSafeName(std::u16string_view name);

// True when the component could stand under a folder as it is: MakeSafeName would leave it unchanged.
bool IsSafeName(std::u16string_view component);

// folder, a "\" unless the folder ends with one, and the component.
std::u16string JoinSavePath(std::u16string_view folder, std::u16string_view component);

// True when `path` is `folder` (trailing separators aside) followed by "\" and one or more components,
// each of them safe (IsSafeName). Lexical only: every step out of a folder would need a component that
// is not safe.
bool PathLiesInside(std::u16string_view folder, std::u16string_view path);

// "Copy (" n " ) of " name: the duplicate name that keeps both files.
std::u16string DuplicateCopyName(std::uint32_t n, std::u16string_view name);
