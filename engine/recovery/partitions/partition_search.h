#pragma once

// Fills the global partition table (partitionTable, partitionCount; at most kMaxPartitions rows) of the
// selected source: first from the master boot record and its chain of extended boot records, then, on
// the drive step's worker, by searching the disk cylinder by cylinder for boot sectors that the table
// does not list. Every sector comes through ReadSectors.

#include <cstdint>
#include <string>

// The group of the source tree under which every row is shown.
inline constexpr char16_t kPartitionGroupText[] = u"Virtual Hard Disk ";

// Starts the table afresh (clears partitionCount and searchDisk) and appends a row for every classified
// partition of the table sector `sector` and of the extended boot records it leads to. A sector without
// the boot signature gives no rows. The walk along the extended records reads no record twice, ends at a
// link past the disk's end, and stops appending once the table is full. Runs on the user-interface
// thread before the worker starts.
void ParseMbrPartitions(std::uint32_t sector);

// The drive step's reading of the table: the sector 0, once more 0 when no row came, then 61 and then 62,
// until a call gives rows.
void ParsePartitionTable();

// The body of the partition-search worker: asks the Partition Type question when the table gave rows,
// shows the rows under kPartitionGroupText, and, when asked to or when the table was empty, searches the
// geometry of DeviceGeometry[SourceState.deviceIndex] for FAT and NTFS boot sectors at the start and at
// the second track of each cylinder, adding a row for each one that starts where no row starts. Ends at
// the last cylinder, the end of the disk, a full table, or ScanThreadControl.done. Calls the user
// interface from the calling thread, which waits while a question is open.
void SearchPartitions();

// "Partition " and the number in decimal: the text of a row's item in the source tree.
std::u16string PartitionItemText(std::uint32_t number);
