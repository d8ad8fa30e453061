#pragma once

// The picture files of a folder, for the thumbnail preview: the document keeps their names and deletes
// the folder's files when the preview is done with them.
#include <afxwin.h>

#include <vector>

// The names of the files directly inside the folder that have a picture type, lower-cased and in
// ascending code-unit order; empty when the folder cannot be listed.
std::vector<CString> CollectPictureNames(const CString& folder);
// Deletes every file directly inside the folder (subfolders and their files are left); files that cannot
// be deleted are left.
void DeleteFilesOfFolder(const CString& folder);
// Ascending code-unit order of picture names.
void SortImageNames(std::vector<CString>& names);
