// The arrow and rotation symbols shared by the support symbols and the excitation symbols,
// in logical units (0.1 mm) whatever the zoom.
#pragma once

#include "view/DrawSurface.h"

// An arrow 70 units long whose tip is (X, Y) and whose shaft runs towards X + 70 d.
inline void DrawHorizontalArrow(CDrawSurface& s, int X, int Y, int d) {
    s.MoveTo(X, Y);
    s.LineTo(X + 70 * d, Y);
    s.MoveTo(X + 20 * d, Y + 7);
    s.LineTo(X, Y);
    s.LineTo(X + 20 * d, Y - 7);
}

// An upward arrow 70 units long whose tip is (X, Y).
inline void DrawUpwardArrow(CDrawSurface& s, int X, int Y) {
    s.MoveTo(X, Y);
    s.LineTo(X, Y - 70);
    s.MoveTo(X - 7, Y - 20);
    s.LineTo(X, Y);
    s.LineTo(X + 7, Y - 20);
}

// The counter-clockwise arc around (X, Y) with its arrowhead.
inline void DrawRotationArc(CDrawSurface& s, int X, int Y) {
    s.Arc(X - 35, Y - 35, X + 35, Y + 35, X - 10, Y - 10, X + 10, Y - 10);
    s.MoveTo(X + 24, Y - 24);
    s.LineTo(X + 9, Y - 39);
    s.MoveTo(X + 24, Y - 24);
    s.LineTo(X + 9, Y - 22);
}
