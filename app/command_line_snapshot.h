#pragma once

// A snapshot document named on the command line (the shell's open command of ".vqdx" passes the path in
// double quotes): the path, and the scan mode its first character names.
#include <cstdint>
#include <string>

// The whole command line, lower case, with every double quote taken out: a line naming more than one
// file is read as one path.
std::wstring CommandLineToSnapshotPath(const wchar_t* commandLine);

enum class SnapshotLetter
{
    Unreadable, // the file could not be opened
    Known,      // 'D' Quick Scan, 'A' Extensive Scan, 'R' File Trace
    Unknown,    // any other character, or none
};

// Reads the document's first UTF-16 character, with the file opened for reading only (media that cannot
// be written must still open), and gives its scan kind when it names one.
SnapshotLetter ReadSnapshotModeLetter(const wchar_t* path, std::uint32_t& scanKind);
