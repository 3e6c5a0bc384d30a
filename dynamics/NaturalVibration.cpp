// Natural vibration: reduction to the free equations, the generalised eigen-solution,
// normalised mode shapes over all equations and the frequencies in ascending order.
#include <algorithm>
#include <cmath>
#include <new>

#include "dynamics/DenseStorage.h"
#include "dynamics/EigenSolver.h"
#include "engine/PlaneFrame.h"
#include "platform/Host.h"

bool CPlaneFrame::SolveGeneralEigen(double* A, double* B, int m) {
    if (m == 0) return true;
    const double count = static_cast<double>(m) * m;
    std::vector<double> Li, Q;
    if (!AllocateZeroed(Li, count) || !AllocateZeroed(Q, count)) return false;
    const int band = std::min(m_nBand, m - 1);
    if (!CholeskyLower(B, m, band, m_keepRunning)) return false;
    if (!InvertLower(B, Li.data(), m, band, m_keepRunning)) return false;
    if (!TransformToStandard(A, Li.data(), B, Q.data(), m, band, m_keepRunning)) return false;
    const size_t M = static_cast<size_t>(m);
    std::fill(Q.begin(), Q.end(), 0.0);
    for (size_t i = 0; i < M; ++i) Q[i * M + i] = 1;
    if (!JacobiDiagonalize(B, Q.data(), m, m_keepRunning)) return false;
    if (!BackTransform(Q.data(), Li.data(), m, m_keepRunning)) return false;
    std::copy(Q.begin(), Q.end(), A);
    return true;
}

bool CPlaneFrame::NaturalVibration() {
    m_nModes = 0;
    if (!BuildDynamicMatrices()) return false;
    const int n = m_nDof;
    const size_t N = static_cast<size_t>(n);
    std::vector<int> reduced;  // free equations in ascending order
    for (int i = 0; i < n; ++i)
        if (m_dofStatus[i] == 0) reduced.push_back(i);
    const int m = static_cast<int>(reduced.size());
    const size_t M = static_cast<size_t>(m);
    std::vector<double> Kr, Mr;
    if (!AllocateZeroed(Kr, static_cast<double>(m) * m) ||
        !AllocateZeroed(Mr, static_cast<double>(m) * m)) {
        ShowMessage("内存不够，固有振动分析无法进行!");
        return false;
    }
    for (int r = 0; r < m; ++r) {
        if (m_keepRunning == 0) return false;
        const size_t i = static_cast<size_t>(reduced[r]);
        for (int c = 0; c <= r; ++c) {
            const size_t j = static_cast<size_t>(reduced[c]);
            Kr[r * M + c] = m_fullK[i * N + j];
            Mr[r * M + c] = m_fullM[i * N + j];
        }
    }
    if (!SolveGeneralEigen(Kr.data(), Mr.data(), m)) return false;

    std::vector<double> shapes, omega;
    if (!AllocateZeroed(shapes, static_cast<double>(m) * n) || !AllocateZeroed(omega, m)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int r = 0; r < m; ++r) {
        if (m_keepRunning == 0) return false;
        double* row = &Kr[r * M];
        double c = 0;
        for (int k = 0; k < m; ++k)
            if (std::fabs(row[k]) > c) c = std::fabs(row[k]);
        for (int k = 0; k < m; ++k) row[k] /= c;
        for (int k = 0; k < m; ++k) shapes[r * N + reduced[k]] = row[k];
        omega[r] = Mr[r * M + r];
    }
    m_modeShapes.swap(shapes);
    m_omega.swap(omega);
    if (!SortModes(m_omega.data(), m)) return false;
    m_nModes = m;
    return true;
}

bool CPlaneFrame::SortModes(double* values, int m) {
    try {
        m_modeOrder.assign(static_cast<size_t>(m), 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int j = 0; j < m; ++j) m_modeOrder[j] = j;
    // Shell sort with the gaps 2^K - 1, ..., 3, 1.
    const int K = m >= 1 ? static_cast<int>(std::log(static_cast<double>(m)) / std::log(2.0)) : 0;
    for (int k = K; k >= 1; --k) {
        const int gap = (1 << k) - 1;
        for (int j = gap; j < m; ++j) {
            if (m_keepRunning == 0) return false;
            const int taken = m_modeOrder[j];
            int i = j;
            while (i >= gap && values[m_modeOrder[i - gap]] > values[taken]) {
                m_modeOrder[i] = m_modeOrder[i - gap];
                i -= gap;
            }
            m_modeOrder[i] = taken;
        }
    }
    for (int j = 0; j < m; ++j) values[j] = std::sqrt(values[j]);
    return true;
}
