#pragma once

// Saving found files into the folder the user chose: whole marked folders with their files, single
// marked files, and the copies that the result list makes for previews. Each file is rebuilt from its
// clusters (a FAT cluster chain, NTFS data runs or resident data, or a run of sectors for a File Trace
// item), written under its name made safe (save_names.h) and given times from its record.
//
// Mode 1 saves the user's selection: file filter, deleted-file and duplicate policies, the file counter
// and the saving dialog. Mode 0 (the Find dialog's save, preview copies) writes the file as it is and
// overwrites one of the same name.
//
// Nothing is hidden: every file counts in SaveOutcome as saved, skipped or failed. A range that cannot
// be read is written as zeros (never as an earlier buffer) and fails the file; so does a cluster past
// the volume's end, which is not read, and data past the end of a disk image file that was cut short. A
// file that cannot be written whole into the target is removed from it, so that every file a save
// leaves there is whole or was counted failed for a source it could not read. The savers run on the saving
// dialog's worker (or the Find dialog's), poll SaveControl's stop and skip flags between pieces of a file,
// and write the dialog's labels directly.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/recovery/core/engine_state.h"

inline constexpr int kSaveModeAsIs = 0;
inline constexpr int kSaveModeSelection = 1;

// What the closing message says: "Files Saved Successfully." when files were saved and nothing failed;
// that no file was saved (and whether files were skipped or left out) when nothing was written and
// nothing failed; otherwise what failed and why.
std::u16string SaveOutcomeText(const SaveOutcomeBlock& outcome);
// Whether that message is the success: files were saved and none failed.
bool SaveOutcomeIsSuccess(const SaveOutcomeBlock& outcome);

// Empties `folder`, shows the shell's folder browser ("Please select the path to save the data") and
// takes the chosen path.
void BrowseForSaveFolder(std::u16string& folder);

// 0 when the stop flag is set or the selection rules leave the file out; otherwise 1, also when the
// file could not be created (it then counts as failed).
int SaveFileFat(const char16_t* folder, std::uint32_t entryId, int mode, std::uint32_t firstCluster,
                std::uint32_t size, const char16_t* name, std::uint32_t deleted);

// 0 when stopped, left out, or when the record gives nothing to write (no file is made); otherwise 1.
int SaveFileNtfs(const char16_t* folder, const char16_t* name, std::uint32_t recordSector, std::uint64_t size,
                 int mode, std::uint32_t deleted);

// A File Trace item: TraceItemSizeMiB MiB of sectors from its start sector. 0 when stopped or left out.
int SaveTraceFile(const char16_t* folder, const char16_t* name, std::uint32_t startSector, int mode);

// Writes the current run list (dataRuns) into a new file at `path` (a path the caller made safe): sparse
// runs as holes that read as zeros, `size` bytes in all.
void WriteDiskRangeToFile(const char16_t* path, std::uint64_t size, int mode);

// A File Trace item copied for preview into folder + name, as mode 0. Returns 1.
int CopyRawRange(std::uint32_t startSector, const char16_t* folder, const char16_t* name);

// Create base\name (an existing folder is kept) and save into it, in mode 1, every file whose parent is
// the folder.
void CreateFatFolder(const char16_t* base, const char16_t* folderName, std::uint32_t folderValue);
void CreateNtfsFolder(const char16_t* base, const char16_t* folderName, std::uint32_t folderNumber);

// Every file whose parent is the folder, in mode 1, into `path`. NTFS: the Quick Scan's files, or after
// an Extensive Scan the file records within the volume's sectors.
void SaveFatFolderFiles(std::uint32_t folderValue, const char16_t* path);
void SaveNtfsFolderFiles(std::uint32_t folderNumber, const char16_t* path);

// One NTFS file as the savers take it: the sector of the record that holds its data is its entry ID.
struct NtfsFileToSave
{
    const char16_t* name;
    std::uint32_t recordSector;
    std::uint64_t size;
    std::uint64_t creationTime;
    std::uint32_t deleted;
};
using NtfsFilesByFolder = std::unordered_map<std::uint32_t, std::vector<NtfsFileToSave>>;

// The files SaveNtfsFolderFiles saves, by the number of their folder, in list order.
NtfsFilesByFolder IndexNtfsFilesByFolder();

// While one lives, SaveNtfsFolderFiles takes a folder's files from the index made when it was made,
// instead of walking the whole file list once for every folder of a save. The found lists must not
// change meanwhile (the save holds them).
class NtfsFolderSaves
{
public:
    NtfsFolderSaves();
    ~NtfsFolderSaves();
    NtfsFolderSaves(const NtfsFolderSaves&) = delete;
    NtfsFolderSaves& operator=(const NtfsFolderSaves&) = delete;

    NtfsFilesByFolder filesByFolder;
};

// All three times of the file set to PendingFileTime (a FILETIME).
void SetFileTimesFromFiletime(const char16_t* path);
// All three times set to the FAT date in PendingFileTime's low 16 bits with the current UTC time of day.
// A date that names no day (month 0, 30 February) leaves the times alone.
void SetFileTimesFromFatDate(const char16_t* path);
void SplitFatDate(std::uint16_t date, std::uint32_t& year, std::uint32_t& month, std::uint32_t& day);

// Saves everything marked in the results view into its target folder: first the marked folders (each
// under its path in the recovered-items tree), then the marked files straight into the target folder;
// File Trace items by their marked IDs. Stops as soon as the stop flag is set. Clears SaveOutcome first
// and returns it.
SaveOutcomeBlock SaveSelection();

// The Find dialog's checked rows, by the IDs of their ID column (FAT file ID, MFT record sector, or the
// Quick Scan node's data record sector), each saved as it is (mode 0: no filter or policy, a file of the
// same name overwritten) straight into `target`. An ID that no record of the current lists holds counts
// as skipped. Stops as soon as the stop flag is set. Clears SaveOutcome first and returns it.
SaveOutcomeBlock SaveFoundFiles(const std::u16string& target, const std::vector<std::uint64_t>& ids);
