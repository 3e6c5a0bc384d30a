// Argument parsing shared by the live-load subcommands of the batch tool.
#pragma once

#include <string>
#include <vector>

// The data file and the values of the named options of one live-load subcommand.
struct LiveLoadArgs {
    std::string model;
    std::vector<std::string> names;   // option names, "--line" ...
    std::vector<std::string> values;  // their values, empty when not given
    bool help = false;
};

// Parses MODEL.fem and "--name value" pairs; prints the error with the command's help and
// returns false on anything else.
bool ParseLiveLoadArgs(const char* command, const char* help, const std::vector<std::string>& args,
                       LiveLoadArgs& out);
// The value of an option, empty when not given.
const std::string& OptionValue(const LiveLoadArgs& a, const std::string& name);
// A whole decimal number within lo ... hi.
bool ParseIntIn(const std::string& text, int lo, int hi, int& value);

struct DesignLoadOptions;
// The design-load options --span, --impact, --lanes and --distribution of a command whose
// names include them; prints the error with the help and returns false on a bad value.
bool ParseDesignOptions(const char* command, const char* help, const LiveLoadArgs& a,
                        DesignLoadOptions& out);
