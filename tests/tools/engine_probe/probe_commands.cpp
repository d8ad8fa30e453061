#include <cstdio>

#include "engine_probe/probe_command.h"

namespace {

constexpr ProbeCommand kCommands[] = {
    {"disk", "IMAGE", RunDiskCommand},
    {"read-speed", "IMAGE", RunReadSpeedCommand},
    {"sectors", "IMAGE FIRST COUNT", RunSectorsCommand},
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
