// Argument reading shared by the dynamics subcommands of the batch tool.
#pragma once

#include <string>
#include <vector>

struct DynamicsArgs {
    std::string model;
    std::string loadFile;       // dynamic: --load
    int node = 0;               // extract: --node
    int dof = 0;                // extract: --dof (1 x, 2 y, 3 rotation)
    bool acceleration = false;  // extract: --acceleration
    int element = 0;            // extract: --force
    int point = 0;              // extract: --point (1 ... 11)
    int count = 0;              // modes: --count (0 every mode)
    std::string method;         // modes: lapack | jacobi; dynamic: modal | full
    bool help = false;
};

// A whole decimal number within +-1e9; false for anything else.
bool ParseIntArg(const std::string& text, int& value);

// Reads MODEL.fem and the options the command allows (any of "--load", "--node", "--dof",
// "--count", "--method", "--force", "--point", and the flag "--acceleration").
// On a usage error prints it with the help text to stderr and returns false.
bool ParseDynamicsArgs(const char* command, const std::vector<std::string>& args,
                       const std::vector<std::string>& allowed, const char* help,
                       DynamicsArgs& out);
