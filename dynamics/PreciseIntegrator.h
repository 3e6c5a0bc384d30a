// Precise time integration of M u'' + C u' + K u = F(t) on the free equations of a dynamic
// response run: the exact transition matrix exp(H dt) and Simpson's rule for the load.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

class CPlaneFrame;

class CPreciseIntegrator {
public:
    // Mr, Kr, Cr: full symmetric m x m squares owned by the run; Mr is inverted in place.
    CPreciseIntegrator(double* Mr, const double* Kr, const double* Cr, int m, double dt,
                       int halvings = 20);

    // Inverts the mass and builds H, exp(H dt / 2), exp(H dt) (one doubling further) and
    // the load matrices.
    // False when the mass is singular or memory runs out.
    bool Prepare();
    // Steps from t = 0 to the last record and writes B.tim. False when memory runs out
    // (reported as such), when the file cannot be written (reported) or on a stop request.
    bool Integrate(CPlaneFrame& frame, double duration);
    // out = exp(H h) for the 2m x 2m matrix H by the 2^N algorithm.
    bool MatrixExponential(const double* H, double h, double* out) const;
    // out = exp(H h) - I, the increment the 2^N algorithm keeps to save its small digits.
    bool ExponentialIncrement(const double* H, double h, double* out) const;

    // Number of records for a duration and step: ceil(T / dt) + 1.
    static int RecordCount(double duration, double dt);

    const std::vector<double>& Phi() const { return m_phi; }
    const std::vector<double>& PhiB() const { return m_phiB; }
    const std::vector<double>& PhiHalfB() const { return m_phiHalfB; }
    // Set when Integrate failed for a reason it has already reported.
    bool Reported() const { return m_reported; }

    // In-place inverse of a symmetric positive matrix by cyclic Gauss-Jordan elimination
    // without pivoting; false when a pivot is negligible against 1.
    static bool InvertSymmetric(double* A, int m);

    // Plain triple loops instead of BLAS for the dense products (the reference for tests
    // and benchmarks).
    bool m_plainProducts = false;
    // Stop request shared with the engine (nullptr: never stopped).
    const std::atomic<std::uint8_t>* m_keepRunning = nullptr;

private:
    bool Stopped() const { return m_keepRunning && m_keepRunning->load() == 0; }
    void Gemm(int r, int c, int k, double alpha, const double* A, int lda, const double* B, int ldb,
              double beta, double* C, int ldc) const;
    void Gemv(int r, int c, const double* A, const double* x, double* y) const;

    double* m_minv;
    const double* m_kr;
    const double* m_cr;
    int m_m;
    double m_dt;
    int m_halvings;
    bool m_reported = false;
    std::vector<double> m_phi;       // 2m x 2m
    std::vector<double> m_phiB;      // 2m x m
    std::vector<double> m_phiHalfB;  // 2m x m
};
