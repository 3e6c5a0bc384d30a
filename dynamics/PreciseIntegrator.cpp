// The precise integration: the modal steps, the transition and load matrices of the whole
// system by the 2^N algorithm, and the step loops that write the response file.
#include "dynamics/PreciseIntegrator.h"
#include "dynamics/SymmetricBand.h"

#include <cblas.h>
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "dynamics/DenseStorage.h"
#include "dynamics/DynamicLoad.h"
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
    : m_mr(Mr), m_kr(Kr), m_cr(Cr), m_m(m), m_dt(dt), m_halvings(halvings) {}

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

namespace {

// 2 x 2 helpers of the modal step, row-major.
struct Mat2 {
    double a[2][2] = {{0, 0}, {0, 0}};
};

Mat2 Mul(const Mat2& x, const Mat2& y) {
    Mat2 r;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) r.a[i][j] = x.a[i][0] * y.a[0][j] + x.a[i][1] * y.a[1][j];
    return r;
}

void MulVec(const Mat2& x, const double* v, double* out) {
    const double o0 = x.a[0][0] * v[0] + x.a[0][1] * v[1];
    const double o1 = x.a[1][0] * v[0] + x.a[1][1] * v[1];
    out[0] = o0;
    out[1] = o1;
}

}  // namespace

ModalStep CPreciseIntegrator::MakeModalStep(double lambda, double c, double h) {
    // With T = exp(A s) - I, P(s) = integral of exp(A u) b over [0, s] and Q(s) = integral of
    // u exp(A u) b, a load f(u) = fStart + (fEnd - fStart) u / h gives
    //   x(h) = (I + T) x(0) + (P - Q / h) fEnd + (Q / h) fStart,
    // and doubling s follows T' = 2T + T T, P' = 2P + T P, Q' = Q + R + T R with R = Q + s P.
    const double nu = (std::sqrt(lambda) + std::fabs(c)) * h;
    int doublings = 0;
    while (doublings < 200 && nu > 0.125 * std::ldexp(1.0, doublings)) ++doublings;
    double s = std::ldexp(h, -doublings);
    Mat2 A;
    A.a[0][1] = 1;
    A.a[1][0] = -lambda;
    A.a[1][1] = -c;
    // Taylor series at the short step: the terms below 0.125^13 / 13! are beyond rounding.
    Mat2 T, Ak;  // Ak = A^k s^k / k!
    Ak.a[0][0] = Ak.a[1][1] = 1;
    double P[2] = {0, 0}, Q[2] = {0, 0};
    for (int k = 0; k <= 13; ++k) {
        if (k > 0) {
            Ak = Mul(Ak, A);
            for (auto& row : Ak.a)
                for (double& v : row) v *= s / k;
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) T.a[i][j] += Ak.a[i][j];
        }
        // A^k b s^(k+1) / (k+1)! and A^k b s^(k+2) / ((k+2) k!), with b = (0, 1).
        for (int i = 0; i < 2; ++i) {
            P[i] += Ak.a[i][1] * s / (k + 1);
            Q[i] += Ak.a[i][1] * s * s / (k + 2);
        }
    }
    for (int d = 0; d < doublings; ++d) {
        const double R[2] = {Q[0] + s * P[0], Q[1] + s * P[1]};
        double TR[2], TP[2];
        MulVec(T, R, TR);
        MulVec(T, P, TP);
        for (int i = 0; i < 2; ++i) {
            Q[i] = Q[i] + R[i] + TR[i];
            P[i] = 2 * P[i] + TP[i];
        }
        const Mat2 TT = Mul(T, T);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) T.a[i][j] = 2 * T.a[i][j] + TT.a[i][j];
        s *= 2;
    }
    ModalStep step;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) step.e[i][j] = T.a[i][j] + (i == j ? 1 : 0);
        step.gEnd[i] = P[i] - Q[i] / h;
        step.gStart[i] = Q[i] / h;
    }
    return step;
}

bool CPreciseIntegrator::Prepare() {
    return m_method == ResponseMethod::kModal ? PrepareModal() : PrepareFull();
}

namespace {

// The band of a full symmetric square (row-major), as wide as its farthest nonzero entry.
bool BandOf(const double* A, int m, int width, SymmetricBand& band) {
    if (!band.Allocate(m, width)) return false;
    for (int i = 0; i < m; ++i)
        for (int j = std::max(0, i - band.band); j <= i; ++j)
            band.At(i, j) = A[static_cast<size_t>(i) * m + j];
    return true;
}

int BandWidth(const double* A, int m) {
    int width = 0;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < i - width; ++j)
            if (A[static_cast<size_t>(i) * m + j] != 0) {
                width = i - j;
                break;
            }
    return width;
}

}  // namespace

bool CPreciseIntegrator::PrepareModal() {
    const int m = m_m;
    if (m == 0) return true;
    if (!AllocateZeroed(m_shapes, static_cast<double>(m) * m) || !AllocateZeroed(m_lambda, m))
        return false;
    // The band matrices, before LAPACK overwrites the mass with its factor, for the
    // refinement of the eigenvalues (see RefineEigenvalues).
    SymmetricBand bandK, bandM;
    const int width = std::max(BandWidth(m_kr, m), BandWidth(m_mr, m));
    if (!BandOf(m_kr, m, width, bandK) || !BandOf(m_mr, m, width, bandM)) return false;
    std::copy(m_kr, m_kr + static_cast<size_t>(m) * m, m_shapes.begin());
    // Column-major eigenvectors are the rows of the row-major square; the mass keeps its
    // Cholesky factor for the initial state's modal coordinates.
    if (LAPACKE_dsygvd(LAPACK_COL_MAJOR, 1, 'V', 'U', m, m_shapes.data(), m, m_mr, m,
                       m_lambda.data()) != 0)
        return false;
    // A small eigenvalue from the dense solution is off by about eps lambda_max / lambda,
    // which over many periods becomes a phase error; its quotient is exact to rounding.
    const StopFlag running{1};
    if (!RefineEigenvalues(bandK, bandM, m_stiffnessProduct, m_shapes.data(), m, m_lambda.data(),
                           m_keepRunning != nullptr ? *m_keepRunning : running) &&
        Stopped())
        return false;
    try {
        m_steps.resize(static_cast<size_t>(m));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int j = 0; j < m; ++j) {
        if (Stopped()) return false;
        // The stiffness of a supported frame is positive definite: a negative value is
        // rounding of an eigenvalue near zero.
        const double lambda = std::max(0.0, m_lambda[j]);
        m_steps[j] = MakeModalStep(lambda, m_alpha + m_beta * lambda, m_dt);
    }
    return true;
}

bool CPreciseIntegrator::PrepareFull() {
    const int m = m_m, s = 2 * m;
    const size_t M = static_cast<size_t>(m), S = static_cast<size_t>(s);
    if (!InvertSymmetric(m_mr, m)) return false;
    if (m == 0) return true;  // every equation is supported or driven: nothing to integrate
    const double* minv = m_mr;
    const double S2 = static_cast<double>(s) * s, SM = static_cast<double>(s) * m;
    std::vector<double> H, T, TT, P, Q, R, B1, B2;
    if (!AllocateZeroed(H, S2) || !AllocateZeroed(T, S2) || !AllocateZeroed(TT, S2) ||
        !AllocateZeroed(P, SM) || !AllocateZeroed(Q, SM) || !AllocateZeroed(R, SM) ||
        !AllocateZeroed(B1, SM) || !AllocateZeroed(B2, SM))
        return false;
    {
        std::vector<double> PK, QC;
        if (!AllocateZeroed(PK, static_cast<double>(m) * m) ||
            !AllocateZeroed(QC, static_cast<double>(m) * m))
            return false;
        Gemm(m, m, m, 1.0, minv, m, m_kr, m, 0.0, PK.data(), m);
        Gemm(m, m, m, 1.0, minv, m, m_cr, m, 0.0, QC.data(), m);
        for (size_t i = 0; i < M; ++i) {
            H[i * S + M + i] = 1;
            double* row = &H[(M + i) * S];
            for (size_t j = 0; j < M; ++j) {
                row[j] = -PK[i * M + j];
                row[M + j] = -QC[i * M + j];
            }
        }
    }
    // The Taylor series at tau = dt / 2^N: T = exp(H tau) - I to fourth order, and the load
    // integrals P, Q (see MakeModalStep) to the same order, from the powers of H times
    // B = [0; Minv].
    double tau = m_dt / std::pow(2.0, m_halvings);
    std::vector<double>& A = TT;
    for (size_t i = 0; i < S * S; ++i) A[i] = tau * H[i];
    std::vector<double>& A2 = m_phi;
    if (!AllocateZeroed(m_phi, S2)) return false;
    Gemm(s, s, s, 1.0, A.data(), s, A.data(), s, 0.0, A2.data(), s);
    for (size_t i = 0; i < S * S; ++i) T[i] = A[i] + A2[i] * 0.25;
    {
        std::vector<double> E3;
        if (!AllocateZeroed(E3, S2)) return false;
        Gemm(s, s, s, 1.0, A2.data(), s, T.data(), s, 0.0, E3.data(), s);
        for (size_t i = 0; i < S * S; ++i) T[i] = E3[i] * (1.0 / 6) + A[i] + A2[i] * 0.5;
    }
    std::vector<double>& B0 = R;  // [0; Minv], then work space
    for (size_t i = 0; i < M; ++i)
        for (size_t j = 0; j < M; ++j) B0[(M + i) * M + j] = minv[i * M + j];
    Gemm(s, m, s, 1.0, H.data(), s, B0.data(), m, 0.0, B1.data(), m);
    Gemm(s, m, s, 1.0, H.data(), s, B1.data(), m, 0.0, B2.data(), m);
    Gemm(s, m, s, 1.0, H.data(), s, B2.data(), m, 0.0, P.data(), m);  // H^3 B for now
    for (size_t i = 0; i < S * M; ++i) {
        const double h3 = P[i];
        P[i] = tau * (B0[i] + tau * (B1[i] / 2 + tau * (B2[i] / 6 + tau * h3 / 24)));
        Q[i] = tau * tau * (B0[i] / 2 + tau * (B1[i] / 3 + tau * (B2[i] / 8 + tau * h3 / 30)));
    }
    for (int k = 0; k < m_halvings; ++k) {
        if (Stopped()) return false;
        for (size_t i = 0; i < S * M; ++i) R[i] = Q[i] + tau * P[i];
        // Q' = Q + R + T R, P' = 2P + T P, T' = 2T + T T.
        for (size_t i = 0; i < S * M; ++i) Q[i] += R[i];
        Gemm(s, m, s, 1.0, T.data(), s, R.data(), m, 1.0, Q.data(), m);
        std::copy(P.begin(), P.end(), R.begin());
        Gemm(s, m, s, 1.0, T.data(), s, R.data(), m, 2.0, P.data(), m);
        std::copy(T.begin(), T.end(), TT.begin());
        Gemm(s, s, s, 1.0, TT.data(), s, TT.data(), s, 2.0, T.data(), s);
        tau *= 2;
    }
    m_phi.swap(T);
    for (size_t i = 0; i < S; ++i) m_phi[i * S + i] += 1;
    m_gammaStart.swap(Q);
    for (double& v : m_gammaStart) v /= m_dt;
    m_gammaEnd.swap(P);
    for (size_t i = 0; i < S * M; ++i) m_gammaEnd[i] -= m_gammaStart[i];
    return true;
}

// The records of B.tim as the steps produce them: the state of the free equations spread over
// all equations, the prescribed motions, the progress text and the stop request.
class CResponseWriter {
public:
    CResponseWriter(CPlaneFrame& frame, int records, double dt)
        : m_frame(frame), m_records(records), m_dt(dt) {}

    bool Open() {
        m_path = m_frame.ResponsePath();
        // Refused before the integration rather than found out at its end.
        const double bytes = static_cast<double>(m_records) * (1.0 + 2.0 * m_frame.m_nDof) * 8.0;
        if (bytes > kMaxResponseBytes || bytes > FreeBytesBeside(m_path)) {
            ShowMessage(FormatString("错误：动力响应文件%s需要%.0f字节,超过磁盘剩余空间或上限%.0f字节!",
                                     m_path.c_str(), bytes, kMaxResponseBytes));
            reported = true;
            return false;
        }
        if (m_out.Open(m_path)) return true;
        ShowMessage(FormatString("错误：无法写入文件%s!", m_path.c_str()));
        reported = true;
        return false;
    }
    // Record i from the displacements d and velocities v of the free equations; false on a
    // stop request.
    bool Write(int i, const double* d, const double* v) {
        // The window shows how far the run has got; it runs on the window's own thread.
        const int percent = static_cast<int>(100.0 * (i + 1) / m_records);
        if (percent != m_shownPercent) {
            ShowStatus(FormatString("动力响应分析进行中，请等待...(%d%%)", percent));
            m_shownPercent = percent;
        }
        if (m_frame.m_keepRunning.load() == 0) {
            reported = true;
            return false;
        }
        const int n = m_frame.m_nDof;
        const size_t N = static_cast<size_t>(n);
        double* R = m_frame.m_dynRecord.data();
        for (int e = 0, r = 0; e < n; ++e) {
            if (m_frame.m_dynCodes[e] == 0) {
                R[e] = d[r];
                R[N + e] = v[r];
                ++r;
            } else {
                R[e] = R[N + e] = 0;
            }
        }
        const double t = i * m_dt;
        for (const auto& load : m_frame.m_dynLoads) load->PrescribedState(t, R);
        for (size_t j = 0; j < 2 * N; ++j) {
            if (std::isfinite(R[j])) continue;
            ShowMessage(FormatString("错误：动力响应在第%d步(t=%g)的计算结果不是有限数值!", i + 1, t));
            reported = true;
            return false;
        }
        m_out.Double(t);
        m_out.Doubles(R, 2 * N);
        if (!m_out.Good()) {
            // A full disk: stop now rather than integrate to the end for nothing.
            ShowMessage(FormatString("错误：无法写入文件%s!", m_path.c_str()));
            reported = true;
            return false;
        }
        return true;
    }
    bool Close(bool ok) {
        // A response cut short must not pass for a complete one, nor replace the last good one.
        if (!ok) {
            m_out.Discard();
        } else if (!m_out.Close()) {
            ShowMessage(FormatString("错误：无法写入文件%s!", m_path.c_str()));
            reported = true;
            ok = false;
        }
        return ok;
    }

    bool reported = false;

private:
    CPlaneFrame& m_frame;
    int m_records;
    double m_dt;
    std::string m_path;
    CBinaryOut m_out;
    int m_shownPercent = -1;
};

bool CPreciseIntegrator::Integrate(CPlaneFrame& frame, double duration) {
    const int records = RecordCount(duration, m_dt);
    CResponseWriter out(frame, records, m_dt);
    if (!out.Open()) {
        m_reported = true;
        return false;
    }
    const bool ok = m_method == ResponseMethod::kModal && m_m > 0 ? StepModal(frame, records, out)
                                                                  : StepFull(frame, records, out);
    const bool closed = out.Close(ok);
    m_reported = m_reported || out.reported;
    return closed;
}

namespace {

// The initial displacements and velocities of the free equations of the run.
void InitialState(const CPlaneFrame& frame, double* d, double* v) {
    const size_t N = static_cast<size_t>(frame.m_nDof);
    for (size_t e = 0, r = 0; e < N; ++e)
        if (frame.m_dynCodes[e] == 0) {
            d[r] = frame.m_dynRecord[e];
            v[r] = frame.m_dynRecord[N + e];
            ++r;
        }
}

}  // namespace

bool CPreciseIntegrator::StepFull(CPlaneFrame& frame, int records, CResponseWriter& out) {
    const int m = m_m, s = 2 * m;
    const size_t M = static_cast<size_t>(m);
    std::vector<double> x, z, w, fEnd, fStart;
    if (!AllocateZeroed(x, s) || !AllocateZeroed(z, s) || !AllocateZeroed(w, s) ||
        !AllocateZeroed(fEnd, m) || !AllocateZeroed(fStart, m))
        return false;
    InitialState(frame, x.data(), x.data() + M);
    if (!frame.LoadVector(0, fStart.data())) return false;
    for (int i = 0; i < records; ++i) {
        if (i >= 1 && m > 0) {
            if (!frame.LoadVector(i * m_dt, fEnd.data())) return false;
            Gemv(s, s, m_phi.data(), x.data(), z.data());
            Gemv(s, m, m_gammaEnd.data(), fEnd.data(), w.data());
            for (int j = 0; j < s; ++j) z[j] += w[j];
            Gemv(s, m, m_gammaStart.data(), fStart.data(), w.data());
            for (int j = 0; j < s; ++j) x[j] = z[j] + w[j];
            fStart.swap(fEnd);
        }
        if (!out.Write(i, x.data(), x.data() + M)) return false;
    }
    return true;
}

bool CPreciseIntegrator::StepModal(CPlaneFrame& frame, int records, CResponseWriter& out) {
    const int m = m_m;
    const size_t M = static_cast<size_t>(m);
    // Steps per batch: the loads and the results go through matrix products of this height.
    const int batch = 64;
    const double bm = static_cast<double>(batch) * m;
    std::vector<double> F, G, QD, QV, XD, XV, q, qv, gStart, work;
    if (!AllocateZeroed(F, bm) || !AllocateZeroed(G, bm) || !AllocateZeroed(QD, bm) ||
        !AllocateZeroed(QV, bm) || !AllocateZeroed(XD, bm) || !AllocateZeroed(XV, bm) ||
        !AllocateZeroed(q, m) || !AllocateZeroed(qv, m) || !AllocateZeroed(gStart, m) ||
        !AllocateZeroed(work, 2.0 * m))
        return false;
    double* d0 = work.data();
    double* v0 = work.data() + M;
    InitialState(frame, d0, v0);
    if (!out.Write(0, d0, v0)) return false;
    // Modal coordinates of the initial state: q = S M x, with M = U^T U from its factor.
    const double* S = m_shapes.data();
    for (double* x : {d0, v0}) {
        cblas_dtrmv(CblasColMajor, CblasUpper, CblasNoTrans, CblasNonUnit, m, m_mr, m, x, 1);
        cblas_dtrmv(CblasColMajor, CblasUpper, CblasTrans, CblasNonUnit, m, m_mr, m, x, 1);
    }
    cblas_dgemv(CblasRowMajor, CblasNoTrans, m, m, 1.0, S, m, d0, 1, 0.0, q.data(), 1);
    cblas_dgemv(CblasRowMajor, CblasNoTrans, m, m, 1.0, S, m, v0, 1, 0.0, qv.data(), 1);
    if (!frame.LoadVector(0, F.data())) return false;
    cblas_dgemv(CblasRowMajor, CblasNoTrans, m, m, 1.0, S, m, F.data(), 1, 0.0, gStart.data(), 1);
    for (int first = 1; first < records; first += batch) {
        const int rows = std::min(batch, records - first);
        for (int r = 0; r < rows; ++r)
            if (!frame.LoadVector((first + r) * m_dt, &F[r * M])) return false;
        // Modal loads of the batch: G = F S^T.
        cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasTrans, rows, m, m, 1.0, F.data(), m, S, m,
                    0.0, G.data(), m);
        for (int r = 0; r < rows; ++r) {
            const double* g = &G[r * M];
            double* qd = &QD[r * M];
            double* qw = &QV[r * M];
            for (size_t j = 0; j < M; ++j) {
                const ModalStep& st = m_steps[j];
                const double a = q[j], b = qv[j];
                q[j] =
                    st.e[0][0] * a + st.e[0][1] * b + st.gEnd[0] * g[j] + st.gStart[0] * gStart[j];
                qv[j] =
                    st.e[1][0] * a + st.e[1][1] * b + st.gEnd[1] * g[j] + st.gStart[1] * gStart[j];
                qd[j] = q[j];
                qw[j] = qv[j];
                gStart[j] = g[j];
            }
        }
        // Back to the equations: X = Q S.
        cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, rows, m, m, 1.0, QD.data(), m, S, m,
                    0.0, XD.data(), m);
        cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, rows, m, m, 1.0, QV.data(), m, S, m,
                    0.0, XV.data(), m);
        for (int r = 0; r < rows; ++r)
            if (!out.Write(first + r, &XD[r * M], &XV[r * M])) return false;
    }
    return true;
}
