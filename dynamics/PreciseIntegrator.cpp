// The precise integration method: transition matrices by the 2^N algorithm and the step
// loop that writes the response file.
#include "dynamics/PreciseIntegrator.h"

#include <cblas.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "dynamics/DenseStorage.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ReplacingFile.h"

namespace {
// A response file larger than this (1 TiB) is refused whatever the disk holds.
constexpr double kMaxResponseBytes = 1099511627776.0;
}  // namespace

// C = alpha A B + beta C for row-major A (r x k, leading dimension lda), B (k x c, ldb),
// C (r x c, ldc).
void CPreciseIntegrator::Gemm(int r, int c, int k, double alpha, const double* A, int lda,
                              const double* B, int ldb, double beta, double* C, int ldc) const {
    if (!m_plainProducts) {
        cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, r, c, k, alpha, A, lda, B, ldb, beta,
                    C, ldc);
        return;
    }
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) {
            double s = 0;
            for (int l = 0; l < k; ++l)
                s += A[static_cast<size_t>(i) * lda + l] * B[static_cast<size_t>(l) * ldb + j];
            double& out = C[static_cast<size_t>(i) * ldc + j];
            out = alpha * s + (beta == 0 ? 0 : beta * out);
        }
}

// y = A x for a row-major r x c matrix.
void CPreciseIntegrator::Gemv(int r, int c, const double* A, const double* x, double* y) const {
    if (!m_plainProducts) {
        cblas_dgemv(CblasRowMajor, CblasNoTrans, r, c, 1.0, A, c, x, 1, 0.0, y, 1);
        return;
    }
    for (int i = 0; i < r; ++i) {
        double s = 0;
        for (int j = 0; j < c; ++j) s += A[static_cast<size_t>(i) * c + j] * x[j];
        y[i] = s;
    }
}

CPreciseIntegrator::CPreciseIntegrator(double* Mr, const double* Kr, const double* Cr, int m,
                                       double dt, int halvings)
    : m_minv(Mr), m_kr(Kr), m_cr(Cr), m_m(m), m_dt(dt), m_halvings(halvings) {}

int CPreciseIntegrator::RecordCount(double duration, double dt) {
    return static_cast<int>(std::ceil(duration / dt)) + 1;
}

bool CPreciseIntegrator::InvertSymmetric(double* A, int m) {
    const size_t M = static_cast<size_t>(m);
    std::vector<double> q(M);
    for (int step = 0; step < m; ++step) {
        const double c = A[0];
        if (c + 1 == 1) return false;
        const int p = m - step - 1;
        for (int i = 1; i < m; ++i) {
            q[i] = A[i * M] / c;
            if (i <= p) q[i] = -q[i];
            for (int k = 1; k <= i; ++k) A[(i - 1) * M + (k - 1)] = A[i * M + k] + A[i * M] * q[k];
        }
        A[(M - 1) * M + (M - 1)] = 1 / c;
        for (int j = 1; j < m; ++j) A[(M - 1) * M + (j - 1)] = q[j];
    }
    for (size_t t = 0; t < M; ++t)
        for (size_t j = t + 1; j < M; ++j) A[t * M + j] = A[j * M + t];
    return true;
}

bool CPreciseIntegrator::MatrixExponential(const double* H, double h, double* out) const {
    if (!ExponentialIncrement(H, h, out)) return false;
    const size_t s = 2 * static_cast<size_t>(m_m);
    for (size_t i = 0; i < s; ++i) out[i * s + i] += 1;
    return true;
}

bool CPreciseIntegrator::ExponentialIncrement(const double* H, double h, double* out) const {
    const int s = 2 * m_m;
    const size_t S2 = static_cast<size_t>(s) * s;
    std::vector<double> A, A2, T;
    if (!AllocateZeroed(A, S2) || !AllocateZeroed(A2, S2) || !AllocateZeroed(T, S2)) return false;
    const double tau = h / std::pow(2.0, m_halvings);
    for (size_t i = 0; i < S2; ++i) A[i] = tau * H[i];
    Gemm(s, s, s, 1.0, A.data(), s, A.data(), s, 0.0, A2.data(), s);
    double* E = out;
    for (size_t i = 0; i < S2; ++i) E[i] = A[i] + A2[i] * 0.25;
    Gemm(s, s, s, 1.0, A2.data(), s, E, s, 0.0, T.data(), s);
    // The Taylor series of exp(A) - I to fourth order: A + A^2/2 + A^3/6 + A^4/24.
    for (size_t i = 0; i < S2; ++i) E[i] = T[i] * (1.0 / 6) + A[i] + A2[i] * 0.5;
    // exp(2A) - I = 2 (exp(A) - I) + (exp(A) - I)^2; keeping the increment to I avoids the
    // loss of its small digits.
    for (int k = 0; k < m_halvings; ++k) {
        if (Stopped()) return false;
        std::copy(E, E + S2, T.begin());
        Gemm(s, s, s, 1.0, T.data(), s, T.data(), s, 2.0, E, s);
    }
    return true;
}

bool CPreciseIntegrator::Prepare() {
    const int m = m_m, s = 2 * m;
    const size_t M = static_cast<size_t>(m), S = static_cast<size_t>(s);
    if (!InvertSymmetric(m_minv, m)) return false;
    if (m == 0) return true;  // every equation is supported or driven: nothing to integrate
    std::vector<double> H;
    if (!AllocateZeroed(H, static_cast<double>(s) * s)) return false;
    {
        std::vector<double> P, Q;
        if (!AllocateZeroed(P, static_cast<double>(m) * m) ||
            !AllocateZeroed(Q, static_cast<double>(m) * m))
            return false;
        Gemm(m, m, m, 1.0, m_minv, m, m_kr, m, 0.0, P.data(), m);
        Gemm(m, m, m, 1.0, m_minv, m, m_cr, m, 0.0, Q.data(), m);
        for (size_t i = 0; i < M; ++i) {
            H[i * S + M + i] = 1;
            double* row = &H[(M + i) * S];
            for (size_t j = 0; j < M; ++j) {
                row[j] = -P[i * M + j];
                row[M + j] = -Q[i * M + j];
            }
        }
    }
    std::vector<double> phiHalf;
    if (!AllocateZeroed(m_phi, static_cast<double>(s) * s) ||
        !AllocateZeroed(phiHalf, static_cast<double>(s) * s) ||
        !AllocateZeroed(m_phiB, static_cast<double>(s) * m) ||
        !AllocateZeroed(m_phiHalfB, static_cast<double>(s) * m))
        return false;
    // exp(H dt) is one more doubling of the half step's increment: the 2^N algorithm with
    // N + 1 halvings of dt, equal to the direct route to rounding and half its products.
    if (m_plainProducts) {
        // The reference takes both exponentials separately.
        if (!MatrixExponential(H.data(), m_dt, m_phi.data()) ||
            !MatrixExponential(H.data(), m_dt / 2, phiHalf.data()))
            return false;
    } else {
        if (!ExponentialIncrement(H.data(), m_dt / 2, phiHalf.data())) return false;
        std::copy(phiHalf.begin(), phiHalf.end(), m_phi.begin());
        Gemm(s, s, s, 1.0, phiHalf.data(), s, phiHalf.data(), s, 2.0, m_phi.data(), s);
        for (size_t i = 0; i < S; ++i) {
            m_phi[i * S + i] += 1;
            phiHalf[i * S + i] += 1;
        }
    }
    Gemm(s, m, m, 1.0, m_phi.data() + m, s, m_minv, m, 0.0, m_phiB.data(), m);
    Gemm(s, m, m, 1.0, phiHalf.data() + m, s, m_minv, m, 0.0, m_phiHalfB.data(), m);
    return true;
}

bool CPreciseIntegrator::Integrate(CPlaneFrame& frame, double duration) {
    const int m = m_m, s = 2 * m;
    const size_t M = static_cast<size_t>(m);
    const int n = frame.m_nDof;
    const size_t N = static_cast<size_t>(n);
    std::vector<double> x, y, z, w, g;
    if (!AllocateZeroed(x, s) || !AllocateZeroed(y, s) || !AllocateZeroed(z, s) ||
        !AllocateZeroed(w, s) || !AllocateZeroed(g, m))
        return false;
    const int records = RecordCount(duration, m_dt);
    const std::string path = frame.ResponsePath();
    // Refused before the integration rather than found out at its end.
    const double bytes = static_cast<double>(records) * (1.0 + 2.0 * n) * 8.0;
    if (bytes > kMaxResponseBytes || bytes > FreeBytesBeside(path)) {
        ShowMessage(FormatString("错误：动力响应文件%s需要%.0f字节,超过磁盘剩余空间或上限%.0f字节!",
                                 path.c_str(), bytes, kMaxResponseBytes));
        m_reported = true;
        return false;
    }
    CBinaryOut out;
    if (!out.Open(path)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        m_reported = true;
        return false;
    }
    std::vector<int> reduced;
    for (int e = 0; e < n; ++e)
        if (frame.m_dynCodes[e] == 0) reduced.push_back(e);
    double* R = frame.m_dynRecord.data();
    for (int r = 0; r < m; ++r) {
        x[r] = R[reduced[r]];
        x[M + r] = R[N + reduced[r]];
    }
    bool ok = true;
    int shownPercent = -1;
    for (int i = 0; i < records && ok; ++i) {
        // The window shows how far the run has got; it runs on the window's own thread.
        const int percent = static_cast<int>(100.0 * (i + 1) / records);
        if (percent != shownPercent) {
            ShowStatus(FormatString("动力响应分析进行中，请等待...(%d%%)", percent));
            shownPercent = percent;
        }
        if (Stopped()) {
            ok = false;
            m_reported = true;
            break;
        }
        const double t = i * m_dt;
        if (i >= 1 && m > 0) {
            Gemv(s, s, m_phi.data(), x.data(), z.data());
            x.swap(z);
            if (i == 1) ok = frame.LoadVector(0, y.data());
            Gemv(s, m, m_phiB.data(), y.data(), z.data());
            ok = ok && frame.LoadVector(t - m_dt / 2, y.data());
            Gemv(s, m, m_phiHalfB.data(), y.data(), w.data());
            ok = ok && frame.LoadVector(t, y.data());
            Gemv(m, m, m_minv, y.data(), g.data());
            if (!ok) break;
            const double h6 = m_dt / 6;
            for (int j = 0; j < s; ++j) x[j] += h6 * (z[j] + 4 * w[j] + (j >= m ? g[j - m] : 0));
        }
        for (int e = 0, r = 0; e < n; ++e) {
            if (frame.m_dynCodes[e] == 0) {
                R[e] = x[r];
                R[N + e] = x[M + r];
                ++r;
            } else {
                R[e] = R[N + e] = 0;
            }
        }
        for (const auto& load : frame.m_dynLoads) load->PrescribedState(t, R);
        for (size_t j = 0; j < 2 * N && ok; ++j) {
            if (std::isfinite(R[j])) continue;
            ShowMessage(
                FormatString("错误：动力响应在第%d步(t=%g)的计算结果不是有限数值!", i + 1, t));
            m_reported = true;
            ok = false;
        }
        if (!ok) break;
        out.Double(t);
        out.Doubles(R, 2 * N);
        if (!out.Good()) {
            // A full disk: stop now rather than integrate to the end for nothing.
            ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
            m_reported = true;
            ok = false;
        }
    }
    // A response cut short must not pass for a complete one, nor replace the last good one.
    if (!ok) {
        out.Discard();
    } else if (!out.Close()) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        m_reported = true;
        ok = false;
    }
    return ok;
}
