// The program's own icons, drawn in code so that they stay sharp at every size.
#pragma once

#include <QIcon>

// The toolbar icon of a command (a null icon for commands without one).
QIcon CommandIcon(int id);
// The program icon: a portal frame over a span.
QIcon ProgramIcon();
