// The one reader of the batch tool's arguments: a data file, options that take a value and
// flags, with "--help" or "-h" anywhere. Every usage error is printed the same way:
// "morvex-cli COMMAND: WHY", a blank line and the command's help, on stderr.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CArgs {
public:
    CArgs(const char* command, const char* help) : m_command(command), m_help(help) {}

    // Reads args in order: the options named in valued take the next argument as their value
    // (the last one given counts), those in flags stand alone, anything else beginning with
    // '-' is an unknown option and any other argument the data file. Stops with help set at
    // "--help" or "-h". False after printing the usage error: an unknown option, an option
    // without its value, a second data file, or none at all.
    bool Read(const std::vector<std::string>& args, const std::vector<std::string>& valued,
              const std::vector<std::string>& flags = {});

    // Whether the option or flag was given.
    bool Has(const std::string& name) const;
    // The option's value, empty when it was not given.
    const std::string& Value(const std::string& name) const;
    // Prints why as this command's usage error; returns false.
    bool Fail(const std::string& why) const;
    const char* Command() const { return m_command; }
    const char* Help() const { return m_help; }

    std::string model;
    bool help = false;

private:
    const char* m_command;
    const char* m_help;
    std::vector<std::pair<std::string, std::string>> m_given;
};

// A whole decimal number within lo ... hi; false for anything else (empty text, a sign alone,
// trailing characters, a value out of range).
bool ParseInt(const std::string& text, int& value, int lo = -1000000000, int hi = 1000000000);
