#pragma once

// Paths of the target folder. Paths use "\" as the separator.

// True when the file system reports attributes for the path.
bool FileExists(const char16_t* path);

// Creates every folder level of the path in turn (a level that exists already, or a drive part such as
// C:, is not an error). False, with nothing created, when the path holds no "\" or when one of its
// levels is made of dots and spaces only ("..", "..."), which would lead out of the folder it stands in.
bool CreateNestedFolders(const char16_t* path);
