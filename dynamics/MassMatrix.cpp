// Consistent mass of the tapered beam elements and the full mass and stiffness matrices
// shared by the natural vibration and the dynamic response.
#include <algorithm>
#include <new>

#include "dynamics/DenseStorage.h"
#include "dynamics/SymmetricBand.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// 1 / 9.8: weight per unit length to mass per unit length.
constexpr double kInverseGravity = 0.1020408163265306;

// Allocates (once) and zeroes an n x n matrix; false after the out-of-memory message.
bool ZeroSquare(std::vector<double>& a, int n) {
    if (AllocateZeroed(a, static_cast<double>(n) * n)) return true;
    ShowMessage("错误：内存不够!");
    return false;
}

}  // namespace

void CPlaneFrame::ElementMass(int element) {
    const Element& el = m_elements[element];
    const double mi = m_sections[el.iSection].weight * kInverseGravity;
    const double mj = m_sections[el.jSection].weight * kInverseGravity;
    const double L = el.length, c = el.cos, s = el.sin;
    const double L2 = L * L, L3 = L2 * L;
    const double a11 = L * (3 * mi + mj) / 12, a12 = L * (mi + mj) / 12;
    const double a22 = L * (mi + 3 * mj) / 12;
    const double t11 = L * (10 * mi + 3 * mj) / 35, t12 = 9 * L * (mi + mj) / 140;
    const double t22 = L * (3 * mi + 10 * mj) / 35;
    const double r11 = L2 * (mi / 28 + mj / 60), r12 = -L2 * (mi / 60 + mj / 70);
    const double r21 = L2 * (mi / 70 + mj / 60), r22 = -L2 * (mi / 60 + mj / 28);
    const double q11 = L3 * (mi / 168 + mj / 280), q12 = -L3 * (mi + mj) / 280;
    const double q22 = L3 * (mi / 280 + mj / 168);
    auto& m = m_elemM;
    m[0][0] = a11 * c * c + t11 * s * s;
    m[0][1] = (a11 - t11) * c * s;
    m[0][2] = -r11 * s;
    m[0][3] = a12 * c * c + t12 * s * s;
    m[0][4] = (a12 - t12) * c * s;
    m[0][5] = -r12 * s;
    m[1][1] = a11 * s * s + t11 * c * c;
    m[1][2] = r11 * c;
    m[1][3] = (a12 - t12) * c * s;
    m[1][4] = a12 * s * s + t12 * c * c;
    m[1][5] = r12 * c;
    m[2][2] = q11;
    m[2][3] = -r21 * s;
    m[2][4] = r21 * c;
    m[2][5] = q12;
    m[3][3] = a22 * c * c + t22 * s * s;
    m[3][4] = (a22 - t22) * c * s;
    m[3][5] = -r22 * s;
    m[4][4] = a22 * s * s + t22 * c * c;
    m[4][5] = r22 * c;
    m[5][5] = q22;
}

bool CPlaneFrame::BuildDynamicMatrices() {
    const int n = m_nDof;
    if (n <= 0 || m_diagAddr.size() != static_cast<size_t>(n)) return false;
    if (!ZeroSquare(m_fullM, n)) return false;
    const size_t N = static_cast<size_t>(n);
    for (int e = 0; e < m_nElements; ++e) {
        const Element& el = m_elements[e];
        const int g[6] = {m_dofNum[el.iNode][0], m_dofNum[el.iNode][1], m_dofNum[el.iNode][2],
                          m_dofNum[el.jNode][0], m_dofNum[el.jNode][1], m_dofNum[el.jNode][2]};
        ElementMass(e);
        for (int a = 0; a < 6; ++a)
            for (int b = a; b < 6; ++b)
                m_fullM[std::max(g[a], g[b]) * N + std::min(g[a], g[b])] += m_elemM[a][b];
    }

    // The engine's own band holds the static factor, which the influence lines still need:
    // the assembled matrix comes back from B.stf instead.
    std::vector<double> band;
    if (!ReadAssembledStiffness(*this, band)) return false;

    if (!ZeroSquare(m_fullK, n)) return false;
    for (int i = 0; i < n; ++i) {
        const int lo = std::max(0, i - m_nBand), hi = std::min(n - 1, i + m_nBand);
        for (int j = lo; j <= hi; ++j)
            m_fullK[i * N + j] = i <= j ? band[static_cast<size_t>(m_diagAddr[i] + (j - i))]
                                        : band[static_cast<size_t>(m_diagAddr[j] + (i - j))];
    }
    return true;
}

bool ReadAssembledStiffness(const CPlaneFrame& frame, std::vector<double>& band) {
    const std::int64_t size = frame.m_diagAddr.back() + 1;
    try {
        band.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    CBinaryIn stf;
    if (!stf.Open(frame.StiffnessPath()) || stf.Size() < 8 * size ||
        !stf.Doubles(band.data(), band.size())) {
        ShowMessage(
            FormatString("错误：刚度矩阵文件%s不存在或不完整!", frame.StiffnessPath().c_str()),
            "请重新打开数据文件进行静力分析。");
        return false;
    }
    return true;
}
