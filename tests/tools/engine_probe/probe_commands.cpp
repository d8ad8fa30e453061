#include <cstdio>

#include "engine_probe/probe_command.h"

namespace {

constexpr ProbeCommand kCommands[] = {
    {"disk", "IMAGE", RunDiskCommand},
    {"partitions", "IMAGE [--search]", RunPartitionsCommand},
    {"read-speed", "IMAGE", RunReadSpeedCommand},
    {"save",
     "IMAGE --partition N|--start S --mode quick|extensive [--volume K] [--search] --out DIR "
     "[--deleted include|only|exclude] [--duplicates rename|overwrite|skip] [--time]",
     RunSaveCommand},
    {"scan",
     "IMAGE --partition N|--start S --mode quick|extensive [--search] [--volume K]; extensive also "
     "--whole-disk fat16|fat32|ntfs",
     RunScanCommand},
    {"sectors", "IMAGE FIRST COUNT", RunSectorsCommand},
    {"snapshot",
     "IMAGE --partition N|--start S --mode quick|extensive|trace [--volume K] [--search] [--types LIST] "
     "--write FILE | "
     "--read FILE [--image IMAGE] [--out DIR]",
     RunSnapshotCommand},
    {"trace",
     "IMAGE (--partition N [--search] | --range FIRST COUNT) (--types LIST | --signatures FILE) [--time]",
     RunTraceCommand},
};

int PrintUsage()
{
    std::fputs("usage:\n", stderr);
    for (const ProbeCommand& command : kCommands)
        std::fprintf(stderr, "  engine-probe %s %s\n", command.name, command.usage);
    return kProbeUsage;
}

} // namespace

std::span<const ProbeCommand> ProbeCommands()
{
    return kCommands;
}

int RunProbe(const ProbeArguments& arguments)
{
    if (arguments.empty())
        return PrintUsage();
    for (const ProbeCommand& command : kCommands) {
        const std::string_view name = command.name;
        if (arguments[0] == std::u16string(name.begin(), name.end()))
            return command.run(ProbeArguments(arguments.begin() + 1, arguments.end()));
    }
    return PrintUsage();
}
