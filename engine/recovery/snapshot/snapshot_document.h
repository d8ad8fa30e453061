#pragma once

// Snapshot documents (".vqdx"): the result of a scan kept in a file, to be browsed and saved later
// without scanning again. The main frame's "Save Recovery Snapshot" writes one, "Load Recovery Snapshot"
// and a path on the command line read one back into the found lists, the recovered-items tree and the
// result list. Everything here runs on the user-interface thread while no worker runs, and talks to the
// user through the engine's user-interface parts (messages, the file dialog, the progress dialog and
// the wizard's view switch).
//
// A document is a flat little-endian file: the scan's mode letter ('A' Extensive Scan, 'D' Quick Scan,
// 'R' File Trace), a version tag, VolumeParams, the found records, and the source's device index and
// kind. It does not name the disk image it was made from: files can be saved from a loaded snapshot
// only once that image is open again (CheckSourceForSave).
//
// A document is untrusted input: the reader checks every length, count and index against the file and
// the engine's tables, reads the whole document before it changes anything, and on any fault shows
// kInvalidSnapshotText and leaves the engine, its lists and the views as they were.

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

inline constexpr char16_t kSnapshotExtension[] = u".vqdx";
inline constexpr char16_t kSnapshotFilter[] = u"*.vqdx";
inline constexpr char16_t kSaveSnapshotTitle[] = u"Save Snapshot";

inline constexpr char16_t kInvalidSnapshotText[] =
    u"Invalid Snapshot File. Please Load respective valid Snapshot. ";
inline constexpr char16_t kInvalidSnapshotVersionText[] = u"Invalid version of the file found : ";
inline constexpr char16_t kSnapshotVersionMismatchText[] =
    u"version of file does not match with current version 1.0";
inline constexpr char16_t kUnableToOpenScanSnapshotText[] = u"Unable to open the file.";
inline constexpr char16_t kUnableToOpenTraceSnapshotText[] = u"Unable to open the file";
inline constexpr char16_t kSnapshotExistsQuestionSuffix[] = u" already exists.\r\nDo you want to replace it?";
inline constexpr char16_t kSnapshotMissingSuffix[] = u" does not exists.";
// A write that the system refused part-way (a full disk): the document is incomplete.
inline constexpr char16_t kSnapshotWriteFailedText[] = u"Unable to write the snapshot file completely.";
// A scan snapshot asked for while the results hold no FAT or NTFS volume.
inline constexpr char16_t kNoSnapshotResultsText[] = u"There are no scan results to save in a snapshot.";
// A save with no disk, image or volume open that gives the bytes of the results' volume.
inline constexpr char16_t kSourceNotOpenText[] =
    u"The disk or image of these results is not open. Please open it again and then save the files.";

// The program's file dialog takes the system's open-file-name flags.
inline constexpr std::uint32_t kFileDialogOverwritePrompt = 0x00000002;
inline constexpr std::uint32_t kFileDialogPathMustExist = 0x00000800;
inline constexpr std::uint32_t kFileDialogFileMustExist = 0x00001000;

// The save dialog lets the user name a new file; the replace question is asked once, by the engine,
// after ".vqdx" has been added.
inline constexpr std::uint32_t kSaveSnapshotDialogFlags = kFileDialogPathMustExist;
inline constexpr std::uint32_t kLoadSnapshotDialogFlags = kFileDialogPathMustExist | kFileDialogFileMustExist;

struct ResultColumn
{
    const char16_t* title;
    int width;
};

// The result list's columns for a scan kind: three for File Trace, six for the others.
std::span<const ResultColumn> SnapshotResultColumns(std::uint32_t scanKind);

// The name offered for a new document: the local time as "%m-%d-%Y_%H.%M.%S" (File Trace:
// "%d-%m-%Y_%H.%M.%S"), then "_" and the frame's scan summary text.
std::u16string SnapshotDefaultName(std::uint32_t scanKind, const std::tm& localTime,
                                   const std::u16string& scanSummary);

// The path with ".vqdx" added unless it ends in it already (letters in any case).
std::u16string WithSnapshotExtension(std::u16string path);

// The mode letter of a scan kind, and the kind and mode name ("Quick Scan", "Extensive Scan",
// "File Trace") of a letter; false for a letter that names no mode.
char16_t SnapshotModeLetter(std::uint32_t scanKind);
bool SnapshotModeOfLetter(char16_t letter, std::uint32_t& scanKind, std::u16string& modeName);

// ---- Writing ------------------------------------------------------------------------------------------

// Writes the current results to `path`, replacing the file: the scan snapshot with the letter of
// ScanSelection.scanKind and the body of VolumeParams.fsCode (FAT folders and files; NTFS folders and
// the Quick Scan's files, or the Extensive Scan's file records within the volume), the File Trace
// snapshot with its signatures and found items. On failure the user is told and false is returned.
bool WriteScanSnapshotFile(const char16_t* path);
bool WriteTraceSnapshotFile(const char16_t* path);

// CMainFrame::WriteScanSnapshot and CMainFrame::WriteTraceSnapshot: offer the default name in the save
// dialog (filter "*.vqdx", title "Save Snapshot"), add ".vqdx", ask once before replacing a file, and
// write. True when a document was written.
bool WriteScanSnapshot(const std::u16string& scanSummary);
bool WriteTraceSnapshot(const std::u16string& scanSummary);

// CMainFrame::OnSaveSnapshot: the File Trace writer for scan kind 1, the scan writer otherwise.
bool SaveSnapshot(const std::u16string& scanSummary);

// ---- Reading ------------------------------------------------------------------------------------------

// CMainFrame::ReadScanSnapshot and CMainFrame::ReadTraceSnapshot: read a document of that kind (the scan
// reader takes 'A' and 'D', the File Trace reader 'R') with the progress dialog shown, then replace
// every found list, VolumeParams, the scan kind and the source's device index and kind with it, build
// the recovered-items tree, list the root folder, reopen the source volume or drive it names and switch
// to the results view. False when the document was refused or could not be opened; the user has then
// been told and nothing has changed.
bool ReadScanSnapshot(const char16_t* path);
bool ReadTraceSnapshot(const char16_t* path);

// The scan kind that the document's mode letter names. False after showing the error: the path
// followed by " does not exists." when there is no such file, kInvalidSnapshotText when it has no
// valid mode letter.
bool PeekSnapshotKind(const char16_t* path, std::uint32_t& scanKind);

// CMainFrame::OnLoadSnapshot up to its reader: asks for a document in the open dialog (filter
// "*.vqdx"), adds ".vqdx", checks that the file is there, reads its mode letter and refuses a document
// of another mode than the one chosen on the home view (ScanSelection.modeName). True with the path and
// its scan kind; the caller then gives the result list SnapshotResultColumns(kind) and calls
// ReadSnapshot.
bool ChooseSnapshotToLoad(std::u16string& path, std::uint32_t& scanKind);

// The reader of the kind: ReadTraceSnapshot for File Trace, ReadScanSnapshot otherwise.
bool ReadSnapshot(const char16_t* path, std::uint32_t scanKind);

// CMainFrame::ReopenSourceVolume: only when the source is a logical volume (kind 2), stores the index
// in VolumeParams.driveIndex and opens that entry of DriveEntryTable as the volume. An index past the
// table opens nothing (the volume handle is then invalid).
void ReopenSourceVolume(std::uint16_t index);

// True when the source that VolumeParams and SourceState name gives the first sector of the results'
// range; otherwise shows kSourceNotOpenText and returns false. The Recover command calls it before
// SaveSelection, so that a loaded snapshot whose image is not open again is not "saved" as zeros.
bool CheckSourceForSave();
