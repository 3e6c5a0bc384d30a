// morvex-cli: the batch front end of the analysis core.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "cli/Commands.h"

namespace {

const char* const kHelp =
    "usage: morvex-cli COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  run MODEL.fem [--keep]   static analysis of every load case\n"
    "\n"
    "'morvex-cli COMMAND --help' describes a command. Exit status: 0 success,\n"
    "1 the analysis failed (the program's message is on stderr), 2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    CCliHost host;
    SetHost(&host);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kHelp, argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    int status;
    if (command == "run") {
        status = RunCommand(args);
    } else {
        std::fprintf(stderr, "morvex-cli: unknown command '%s'\n\n%s", command.c_str(), kHelp);
        status = kExitUsage;
    }
    SetHost(nullptr);
    return status;
}
