// Writes a generated data file: morvex-genmodel girder SPANS CASES | frame STOREYS BAYS CASES
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ModelGenerator.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "girder") == 0) {
        std::fputs(GirderModel(std::atoi(argv[2]), 10, std::atoi(argv[3])).c_str(), stdout);
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "frame") == 0) {
        std::fputs(FrameModel(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])).c_str(),
                   stdout);
        return 0;
    }
    std::fputs("usage: morvex-genmodel girder SPANS CASES | frame STOREYS BAYS CASES > MODEL.fem\n",
               stderr);
    return 2;
}
