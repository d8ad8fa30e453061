#pragma once

#include <span>
#include <string>
#include <vector>

// Exit codes of the probe.
inline constexpr int kProbeOk = 0;
inline constexpr int kProbeUsage = 1;
// The image (or other input) was refused; the probe printed "refused<TAB>reason".
inline constexpr int kProbeRefused = 2;
inline constexpr int kProbeReadFailed = 3;

using ProbeArguments = std::vector<std::u16string>;

// One command: its name, its arguments for the usage text, and the function that runs it with the
// arguments after the name. Output is plain, tab-separated and stable.
struct ProbeCommand
{
    const char* name;
    const char* usage;
    int (*run)(const ProbeArguments& arguments);
};

std::span<const ProbeCommand> ProbeCommands();

// Runs the command named by the first argument (the arguments after the program name).
int RunProbe(const ProbeArguments& arguments);

// The commands, one source file each.
int RunDiskCommand(const ProbeArguments& arguments);
// The scan command's --mode extensive, in a source file of its own.
bool AsksForExtensiveScan(const ProbeArguments& arguments);
int RunExtensiveScanCommand(const ProbeArguments& arguments);
int RunPartitionsCommand(const ProbeArguments& arguments);
int RunReadSpeedCommand(const ProbeArguments& arguments);
int RunSaveCommand(const ProbeArguments& arguments);
int RunScanCommand(const ProbeArguments& arguments);
int RunSectorsCommand(const ProbeArguments& arguments);
int RunSnapshotCommand(const ProbeArguments& arguments);
int RunTraceCommand(const ProbeArguments& arguments);
