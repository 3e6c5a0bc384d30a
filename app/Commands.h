// Command identifiers of the desktop program and their status prompts and tool tips.
#pragma once

#include <QString>

#include "view/ViewCommands.h"

// The string-table entry of a command: the status prompt, then "\n" and the tool tip.
QString CommandString(int id);
// The part of the entry shown in status pane 0.
QString CommandPrompt(int id);
// The part shown as tool tip (empty when the entry has none).
QString CommandToolTip(int id);

// The product homepage opened by the homepage command.
inline constexpr const char* kHomepageUrl = "https://morvex.org/";
