#include <cstdio>
#include <fcntl.h>
#include <io.h>

#include "engine_probe/probe_command.h"

int wmain(int argc, wchar_t** argv)
{
    // Plain "\n" line ends, as on every other platform.
    _setmode(_fileno(stdout), _O_BINARY);
    ProbeArguments arguments;
    for (int index = 1; index < argc; ++index) {
        const std::wstring_view argument = argv[index];
        arguments.emplace_back(argument.begin(), argument.end());
    }
    return RunProbe(arguments);
}
