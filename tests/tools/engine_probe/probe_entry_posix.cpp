#include <cstdio>

#include "engine/image/utf16_path.h"
#include "engine_probe/probe_command.h"

int main(int argc, char** argv)
{
    ProbeArguments arguments;
    for (int index = 1; index < argc; ++index) {
        std::u16string argument;
        if (!Utf8ToUtf16(argv[index], argument)) {
            std::fprintf(stderr, "argument %d is not UTF-8\n", index);
            return kProbeUsage;
        }
        arguments.push_back(std::move(argument));
    }
    return RunProbe(arguments);
}
