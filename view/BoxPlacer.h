// Keeps texts and symbols of a drawing apart: a box that would overlap one placed before is
// refused, so the caller leaves out what it would have drawn there. Boxes are in logical
// units; a grid of cells keeps every test short on drawings with 10^5 node numbers.
#pragma once

#include <unordered_map>
#include <vector>

struct CBox {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // x1 < x2, y1 < y2
};

class CBoxPlacer {
public:
    // True, and the box is placed, when it overlaps no box placed before.
    bool Place(const CBox& box);

private:
    static constexpr int kCell = 128;
    std::vector<CBox> m_boxes;
    std::unordered_map<long long, std::vector<int>> m_cells;  // cell -> indices in m_boxes
};

// The box of a text of the view's font (25 units high, about 15 units a character) whose
// top-left corner TextOut puts at (x, y).
CBox TextBox(int x, int y, int characters);
