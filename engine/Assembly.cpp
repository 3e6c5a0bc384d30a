// Supports, band layout, element stiffness and assembly of the global stiffness.
#include <algorithm>
#include <new>

#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Memory.h"

bool CPlaneFrame::MarkSupports() {
    try {
        m_dofStatus.assign(static_cast<size_t>(m_nDof), 1);
        m_prescribed.assign(static_cast<size_t>(m_nDof), 0.0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (const Element& el : m_elements)
        for (int d = 0; d < 3; ++d) {
            m_dofStatus[m_dofNum[el.iNode][d]] = 0;
            m_dofStatus[m_dofNum[el.jNode][d]] = 0;
        }
    for (const Support& s : m_supports) {
        const auto& g = m_dofNum[s.node];
        if (s.code >= 100) {
            m_dofStatus[g[0]] = 1;
            m_prescribed[g[0]] = s.dx;
        }
        if (s.code % 100 >= 10) {
            m_dofStatus[g[1]] = 1;
            m_prescribed[g[1]] = s.dy;
        }
        if (s.code % 10 != 0) {
            m_dofStatus[g[2]] = 1;
            m_prescribed[g[2]] = s.drot;
        }
    }
    m_nConstrainedDofs = static_cast<int>(std::count(m_dofStatus.begin(), m_dofStatus.end(), 1));
    if (m_nConstrainedDofs <= 2) {
        ShowMessage("错误：结构约束自由度个数小于3！");
        return false;
    }
    return true;
}

bool CPlaneFrame::LayoutBand() {
    m_nBand = 0;
    for (const Element& el : m_elements) {
        const int g[6] = {m_dofNum[el.iNode][0], m_dofNum[el.iNode][1], m_dofNum[el.iNode][2],
                          m_dofNum[el.jNode][0], m_dofNum[el.jNode][1], m_dofNum[el.jNode][2]};
        const auto [lo, hi] = std::minmax_element(g, g + 6);
        m_nBand = std::max(m_nBand, *hi - *lo);
    }
    try {
        m_diagAddr.assign(static_cast<size_t>(m_nDof), 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int i = 0; i + 1 < m_nDof; ++i)
        m_diagAddr[i + 1] = m_diagAddr[i] + std::min(m_nDof - i, m_nBand + 1);
    const std::int64_t size = m_diagAddr[m_nDof - 1] + 1;
    if (!FitsInMemory(8.0 * static_cast<double>(size))) {
        ShowMessage("错误：内存不够(总刚度矩阵)!");
        return false;
    }
    try {
        m_bandK.assign(static_cast<size_t>(size), 0.0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够(总刚度矩阵)!");
        return false;
    }
    return true;
}

StiffnessTerms CPlaneFrame::ElementStiffnessTerms(int element) const {
    const Element& el = m_elements[element];
    const Section& si = m_sections[el.iSection];
    const Section& sj = m_sections[el.jSection];
    const double E = m_materials[el.material].E;
    const double L = el.length, Ii = si.I, Ij = sj.I;
    return {E * (si.A + sj.A) / (2 * L),
            6 * E * (Ii + Ij) / (L * L * L),
            2 * E * (2 * Ii + Ij) / (L * L),
            2 * E * (Ii + 2 * Ij) / (L * L),
            E * (3 * Ii + Ij) / L,
            E * (Ii + 3 * Ij) / L,
            E * (Ii + Ij) / L};
}

void CPlaneFrame::ElementStiffness(int element) {
    const Element& el = m_elements[element];
    const double c = el.cos, s = el.sin;
    const auto [kN, kV, kTi, kTj, kii, kjj, kij] = ElementStiffnessTerms(element);
    const double xx = s * s * kV + c * c * kN;
    const double xy = c * s * (kN - kV);
    const double yy = c * c * kV + s * s * kN;
    auto& k = m_elemK;
    k[0][0] = xx;
    k[0][1] = xy;
    k[0][2] = -s * kTi;
    k[0][3] = -xx;
    k[0][4] = -xy;
    k[0][5] = -s * kTj;
    k[1][1] = yy;
    k[1][2] = c * kTi;
    k[1][3] = -xy;
    k[1][4] = -yy;
    k[1][5] = c * kTj;
    k[2][2] = kii;
    k[2][3] = s * kTi;
    k[2][4] = -c * kTi;
    k[2][5] = kij;
    k[3][3] = xx;
    k[3][4] = xy;
    k[3][5] = s * kTj;
    k[4][4] = yy;
    k[4][5] = -c * kTj;
    k[5][5] = kjj;
}

bool CPlaneFrame::Assemble() {
    for (int e = 0; e < m_nElements; ++e) {
        if ((e & 8191) == 8191) {
            if (StopRequested()) return false;
            ReportProgress(RunStage::kAssembling, 0.8 * e / m_nElements);
        }
        const Element& el = m_elements[e];
        const int g[6] = {m_dofNum[el.iNode][0], m_dofNum[el.iNode][1], m_dofNum[el.iNode][2],
                          m_dofNum[el.jNode][0], m_dofNum[el.jNode][1], m_dofNum[el.jNode][2]};
        ElementStiffness(e);
        for (int a = 0; a < 6; ++a)
            for (int b = a; b < 6; ++b)
                BandAt(std::min(g[a], g[b]), std::max(g[a], g[b])) += m_elemK[a][b];
    }
    CBinaryOut stf;
    const bool ok = stf.Open(StiffnessPath()) &&
                    (stf.Doubles(m_bandK.data(), m_bandK.size()), true) && stf.Close();
    if (!ok) {
        ShowMessage(FormatString("错误：无法写入文件%s!", StiffnessPath().c_str()));
        return false;
    }
    return true;
}
