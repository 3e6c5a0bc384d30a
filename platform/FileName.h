// File-name tests shared by the batch tool, the analysis and the view.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>

// Whether path ends in tail, ASCII letters compared without regard to case (".FEM" is ".fem").
inline bool EndsWithNoCase(const std::string& path, const std::string& tail) {
    if (path.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), path.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}
