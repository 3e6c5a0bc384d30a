#include "view/BoxPlacer.h"

#include <cmath>

namespace {

long long CellOf(int v, int cell) {
    return static_cast<long long>(std::floor(static_cast<double>(v) / cell));
}

long long Key(long long cx, long long cy) {
    return cx * 2654435761LL + cy;
}

}  // namespace

bool CBoxPlacer::Place(const CBox& box) {
    const long long cx1 = CellOf(box.x1, kCell), cx2 = CellOf(box.x2, kCell);
    const long long cy1 = CellOf(box.y1, kCell), cy2 = CellOf(box.y2, kCell);
    for (long long cx = cx1; cx <= cx2; ++cx)
        for (long long cy = cy1; cy <= cy2; ++cy) {
            const auto cell = m_cells.find(Key(cx, cy));
            if (cell == m_cells.end()) continue;
            for (int i : cell->second) {
                const CBox& o = m_boxes[static_cast<size_t>(i)];
                if (box.x1 < o.x2 && o.x1 < box.x2 && box.y1 < o.y2 && o.y1 < box.y2)
                    return false;
            }
        }
    const int index = static_cast<int>(m_boxes.size());
    m_boxes.push_back(box);
    for (long long cx = cx1; cx <= cx2; ++cx)
        for (long long cy = cy1; cy <= cy2; ++cy) m_cells[Key(cx, cy)].push_back(index);
    return true;
}

CBox TextBox(int x, int y, int characters) {
    return {x, y - 25, x + characters * 15, y};
}
