// morvex-cli: the batch front end of the analysis core.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "cli/Commands.h"

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    int (*run)(const std::vector<std::string>& args);
};

// One line per subcommand.
const Command kCommands[] = {
    {"run", "run MODEL.fem [--keep]          static analysis of every load case", RunCommand},
    {"envelope", "envelope MODEL.fem --type T --quantity Q  live-load envelopes", EnvelopeCommand},
    {"influence", "influence MODEL.fem --line K              influence-line listing",
     InfluenceCommand},
    {"place", "place MODEL.fem --line K --entry E        worst live-load placement", PlaceCommand},
    {"render", "render MODEL.fem --graph KIND --out FILE   draw a result-view graph (PNG, SVG)",
     RenderCommand},
    {"modes", "modes MODEL.fem                 natural frequencies, ascending", ModesCommand},
    {"dynamic", "dynamic MODEL.fem [--load FILE] dynamic response into MODEL.tim", DynamicCommand},
    {"extract", "extract MODEL.fem --node N --dof D  time history of a node", ExtractCommand},
    {"combine", "combine MODEL.fem [--file COMB] [--name NAME]  load combinations", CombineCommand},
    {"export", "export MODEL.fem --xlsx FILE | --csv DIR  tables for spreadsheets", ExportCommand},
    {"report", "report MODEL.fem --out FILE.pdf         calculation report (PDF)", ReportCommand},
};

void PrintHelp(FILE* to) {
    std::fputs("usage: morvex-cli COMMAND [ARGS]\n\nCommands:\n", to);
    for (const Command& c : kCommands) std::fprintf(to, "  %s\n", c.synopsis);
    std::fputs(
        "\n'morvex-cli COMMAND --help' describes a command. Exit status: 0 success,\n"
        "1 the analysis failed (the program's message is on stderr), 2 usage error.\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(stdout);
        return kExitOk;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        CCliHost host;
        SetHost(&host);
        const int status = c.run(args);
        SetHost(nullptr);
        return status;
    }
    std::fprintf(stderr, "morvex-cli: unknown command '%s'\n\n", argv[1]);
    PrintHelp(stderr);
    return kExitUsage;
}
