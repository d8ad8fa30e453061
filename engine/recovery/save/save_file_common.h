#pragma once

// What the savers of every kind share: the common start of a file (safe path, selection rules, counter
// and dialog), the output file with its failure notes, source reads that give zeros only for the sectors
// that cannot be read, and the volume's bounds. Internal to the savers.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/platform/platform_io.h"

// Sectors read and written in one piece (256 KiB): every piece is a read of the source and a write of the
// file, each a system call (under Wine more than one), and the file's progress moves once a piece, so
// that the bar still moves within a file of a megabyte.
inline constexpr std::uint32_t kSavePieceSectors = 512;

struct FileStart
{
    bool go = false; // false: the saver returns `result`
    int result = 0;
    std::u16string path;
    std::u16string folder;
    std::u16string fileName; // the last component of the path
    // Mode 1 without the overwrite policy: a file of that name is kept, and the duplicate policy
    // applies when RecoveredFile::Create finds it.
    bool keepExisting = false;
};

// Holds the saving thread while SaveControl.pause is 1 (a question about the save stands), with
// SaveControl.paused 1 meanwhile. The savers call it before each file and each piece, so that the hold
// comes within a piece's time.
void WaitWhileSavePaused();

// The common start of a file: returns without going on when the stop flag is set; clears the skip flag;
// joins the folder and the name made safe; in mode 1 applies the file filter and the deleted-file policy
// (when asked), counts the file and shows it in the saving dialog. A file the rules leave out counts as
// skipped. The duplicate policy applies when the file is created (RecoveredFile::Create).
FileStart BeginFileSave(const char16_t* folder, const char16_t* name, int mode, bool applyDeletedPolicy,
                        std::uint32_t deleted);

// The number of marked File Trace items of the selection being saved, for the progress bar.
void SetMarkedTraceItems(std::uint32_t count);

// Counts a file that had nothing to save (a record without data that claims no size).
void CountNothingToSave();

// Creates base\name for a marked folder (the name made safe; an existing folder is kept) and returns its
// path; empty, with nothing created, when the path would not lie inside base.
std::u16string CreateMarkedFolder(const char16_t* base, const char16_t* folderName);

// Reads `count` sectors (at most kSavePieceSectors) from the selected source. A piece that fails is read
// again sector by sector, so that zeros stand only for the bytes the source cannot give. False when
// any sector failed; `pastImageEnd` (when given) then tells whether one failed because the disk image's
// file ends before it, and `anyRead` (when given) whether any sector was read.
bool ReadSourceSectors(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer,
                       bool* pastImageEnd = nullptr, bool* anyRead = nullptr);

// The last sector of the selected volume, for refusing clusters past its end; UINT64_MAX when unknown.
std::uint64_t VolumeLastSector();

// The bytes the selected volume holds from its cluster 0 on, no further than the source's end; UINT64_MAX
// when unknown.
std::uint64_t VolumeByteSize();

// The first sector of `count` clusters from `firstCluster` when the cluster size is known and all of them
// lie within the volume; false otherwise (they are then not to be read).
bool ClusterSpanSectors(std::uint64_t firstCluster, std::uint64_t count, std::uint64_t& firstSector);

// One file being written, with what went wrong on the way. Finish() counts it in SaveOutcome.
class RecoveredFile
{
public:
    // `size` is the file's length for the progress bar, which mode 1 moves as bytes are written
    // (progress false: the caller moves it).
    RecoveredFile(int mode, std::uint64_t size, bool progress);
    ~RecoveredFile();
    RecoveredFile(const RecoveredFile&) = delete;
    RecoveredFile& operator=(const RecoveredFile&) = delete;

    // False when the file could not be created (noted). A file larger than the free space of a target
    // that keeps no holes is not created (noted): it could only be written in part.
    bool Create(const std::u16string& path);
    // The file of a common start. Without the overwrite policy it is created only where no file or
    // folder of that name is: a taken name is skipped (counted so) or, under the other policies, saved
    // as the first free "Copy (n ) of" name, which the saving dialog then shows.
    bool Create(const FileStart& start);
    // Bytes that the source gave.
    bool Write(const void* bytes, std::size_t count);
    // Zeros in place of data that is not read; written in pieces, each after a look at stop and skip.
    bool WriteZeros(std::uint64_t count);
    // `count` bytes of zeros that the source does not store (a sparse run): a hole in the file where
    // the target can keep one, so that the target stores no more than the source does; written as
    // zeros, piece by piece as WriteZeros, where it cannot.
    bool SkipZeros(std::uint64_t count);
    // `bytes` bytes of the source from `firstSector` on, whole sectors read, the last piece cut.
    bool CopySectors(std::uint64_t firstSector, std::uint64_t bytes);

    // False when the file is to end here: the user asked to stop or to skip it (noted), or writing
    // failed.
    bool KeepGoing();

    void NoteNotCreated() { notCreated = true; }
    void NoteUnreadable() { unreadable = true; }
    // A piece that ReadSourceSectors could not read whole, for the reason it gave.
    void NoteSourceShort(bool pastImageEnd) { (pastImageEnd ? beyondImageEnd : unreadable) = true; }
    void NoteOutsideVolume() { outsideVolume = true; }
    void NoteStoredAsIs() { storedAsIs = true; }
    void NoteNoData() { noData = true; }

    std::uint64_t Written() const { return written; }
    bool Broken() const { return notCreated; }
    // Create found the name taken under the skip policy; the saver returns 0 as for a file left out.
    bool DuplicateSkipped() const { return duplicateSkipped; }

    // Closes the file (a failed close is a failed write).
    void Close();
    // Sets the file's times through the handle it was written with, then closes it.
    void CloseWithTimes(const PlatformFileTimes& times);
    // Closes it and counts it once: failed when anything went wrong, skipped when the user cut it short,
    // saved otherwise. A file that was not written whole, for a failed write or the user's Stop or Skip,
    // is removed: one left cut short would look like a good one. So is one of which not a byte could be
    // read: it would hold zeros alone. One kept with zeros for parts that could not be read is named in
    // SaveOutcome.
    void Finish();

private:
    bool WriteBytes(const void* bytes, std::size_t count);
    // False, noted, when the target keeps no holes and has less room than the whole file.
    bool FitsTarget(const std::u16string& path);
    bool TargetKeepsHoles();
    void NoteKeptWithZeros();
    void ShowProgress();
    // Moves the write position past the hole that SkipZeros left pending.
    bool PassPendingHole();
    void EndAfterHole();

    int mode;
    std::uint64_t size;
    bool progress;
    PlatformHandle file = kNoHandle;
    // The path the file was made at, to remove it if it cannot be written whole.
    std::u16string madePath;
    std::uint64_t written = 0;
    // Bytes left as holes, and those not yet passed by the write position.
    std::uint64_t holes = 0;
    std::uint64_t pendingHole = 0;
    bool sparseAsked = false;
    // Whether zeros the source does not store may be left as holes: the target's flags, and then
    // whether it marked this file sparse.
    bool keepsHoles = true;
    bool factsKnown = false;
    // Some byte of the source was read (not only zeros standing in for it).
    bool storedRead = false;
    bool tooLarge = false;
    std::uint32_t shownPercent = 0xFFFFFFFF;
    bool notCreated = false;
    bool unreadable = false;
    bool beyondImageEnd = false;
    bool outsideVolume = false;
    bool storedAsIs = false;
    bool noData = false;
    bool duplicateSkipped = false;
    bool interrupted = false;
    bool counted = false;
};

// The times a saved file takes: all three PendingFileTime (a FILETIME).
PlatformFileTimes PendingFiletimeTimes();
// All three the FAT date in PendingFileTime's low 16 bits with the current UTC time of day; false, and
// the times untouched, when the date names no day.
bool PendingFatDateTimes(PlatformFileTimes& times);
// Closes the file with the times of PendingFatDateTimes, or as it is when the date names no day.
void CloseWithFatDateTimes(RecoveredFile& file);
