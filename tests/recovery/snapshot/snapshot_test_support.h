#pragma once

// What the snapshot tests share: the engine's results written out as text lines, field by field, so
// that two states can be compared with a readable difference; the rows the probe prints; marking a
// whole result and saving it; and the bytes of a file.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

class UiRecorder;

// Every field of every record the snapshot keeps (tree items aside, which the views hand out anew), the
// parts of VolumeParams it keeps, the scan kind, the counters, and the source's device index and kind.
// The Extensive Scan's file records only as far as they lie within the volume.
std::vector<std::string> DumpSnapshotState();

// The rows "engine-probe scan" (or "trace") prints for the current results.
std::vector<std::string> ResultRowsAsProbePrints();

// Marks what a checked root marks (every folder item, the root's files by ID; every File Trace item),
// saves it into `folder` through SaveSelection and returns relative path -> MD5 of what was written.
std::map<std::string, std::string> SaveEverything(UiRecorder& recorder, const std::filesystem::path& folder,
                                                  std::uint32_t* failed = nullptr);

std::string FileBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
