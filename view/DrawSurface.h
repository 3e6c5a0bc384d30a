// The drawing surface of the result view: logical units of 0.1 mm, y upward.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An RGB colour.
struct CColour {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const CColour&, const CColour&) = default;
};

constexpr CColour Rgb(int r, int g, int b) {
    return CColour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                   static_cast<std::uint8_t>(b)};
}

// A point in logical units (or, where said, in device pixels).
struct CLPoint {
    int x = 0, y = 0;
    friend bool operator==(const CLPoint&, const CLPoint&) = default;
};

// A solid pen; an inverting pen flips the pixels it covers, so drawing twice erases.
struct CPen {
    CColour colour;
    int width = 1;  // logical units; never thinner than one device pixel
    bool inverting = false;
    friend bool operator==(const CPen&, const CPen&) = default;
};

// A text font: face name, character height in logical units, weight (400 normal).
struct CFontSpec {
    std::string face = "宋体";
    int height = 25;
    int weight = 400;
    friend bool operator==(const CFontSpec&, const CFontSpec&) = default;
};

// What a piece of the drawing is: a CAD export puts each on its own layer; a window or a
// printer ignores it.
enum class DrawLayer { kStructure, kNodeNumbers, kElementNumbers, kGraph, kAnnotation, kSupports };

// What the view draws on: a window, a printer page, an image or a recording. Coordinates
// are logical (0.1 mm, y upward, origin at the top-left corner of the client area).
class CDrawSurface {
public:
    virtual ~CDrawSurface() = default;

    // Selects a pen and returns the one it replaces. The initial pen is black, width 1.
    virtual CPen SelectPen(const CPen& pen) = 0;
    // Selects a font and returns the one it replaces.
    virtual CFontSpec SelectFont(const CFontSpec& font) = 0;
    // Sets the text colour and returns the previous one (initially black).
    virtual CColour SetTextColour(CColour colour) = 0;

    // Moves the current position without drawing.
    virtual void MoveTo(int x, int y) = 0;
    // Draws with the current pen from the current position to (x, y), which becomes current.
    virtual void LineTo(int x, int y) = 0;
    // Draws connected line pieces through the points with the current pen.
    virtual void Polyline(const std::vector<CLPoint>& points) = 0;
    // Draws the rectangle between two corners, outlined with the pen and filled white.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    // Draws the arc of the ellipse inscribed in the box (x1, y1)-(x2, y2), counter-clockwise
    // from the radial through (sx, sy) to the radial through (ex, ey).
    virtual void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) = 0;
    // Sets one device pixel at the logical point.
    virtual void SetPixel(int x, int y, CColour colour) = 0;
    // Writes UTF-8 text upright with (x, y) its top-left corner, on an opaque white background.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // What the following operations draw (initially the structure); a new piece of the
    // drawing begins, so pixels before and after are not joined into one curve.
    virtual void SetLayer(DrawLayer) {}
    // A drawing that its reader zooms into (a CAD file) keeps every number and node square
    // of a crowded structure; a window, a page or an image leaves out those that would
    // overlap.
    virtual bool KeepsCrowdedDetail() const { return false; }
};
