// Time integration of M u'' + C u' + K u = F(t) on the free equations of a dynamic response
// run, exact for a load that varies linearly within each step: either mode by mode in the
// modal basis of the Rayleigh-damped system, or with the transition matrix exp(H dt) of the
// whole first-order system by the 2^N algorithm.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "dynamics/DynamicsMethods.h"

class CPlaneFrame;

// One step of a single mode q'' + c q' + lambda q = f(t): the exact transition of (q, q') and
// the exact response to f varying linearly from fStart to fEnd within the step,
//   (q, q')_new = E (q, q') + gEnd fEnd + gStart fStart.
struct ModalStep {
    double e[2][2];
    double gEnd[2];
    double gStart[2];
};

class CPreciseIntegrator {
public:
    // Mr, Kr, Cr: full symmetric m x m squares owned by the run. The full method inverts Mr in
    // place; the modal method leaves its Cholesky factor there.
    CPreciseIntegrator(double* Mr, const double* Kr, const double* Cr, int m, double dt,
                       int halvings = 20);

    // The damping is alpha M + beta K (what decouples the modes); the modal method needs it.
    void SetRayleigh(double alpha, double beta) {
        m_alpha = alpha;
        m_beta = beta;
    }
    // Modal: the eigen-solution of (Kr, Mr) and one step per mode. Full: the inverse mass, H,
    // exp(H dt) and the two load matrices. False when the mass is not positive definite
    // (singular) or memory runs out.
    bool Prepare();
    // Steps from t = 0 to the last record and writes B.tim. False when memory runs out
    // (reported as such), when the file cannot be written (reported) or on a stop request.
    bool Integrate(CPlaneFrame& frame, double duration);
    // out = exp(H h) for the 2m x 2m matrix H by the 2^N algorithm.
    bool MatrixExponential(const double* H, double h, double* out) const;
    // out = exp(H h) - I, the increment the 2^N algorithm keeps to save its small digits.
    bool ExponentialIncrement(const double* H, double h, double* out) const;
    // The step of one mode over h, by doublings of a short step's Taylor series.
    static ModalStep MakeModalStep(double lambda, double c, double h);

    // Number of records for a duration and step: ceil(T / dt) + 1.
    static int RecordCount(double duration, double dt);

    // Full method: exp(H dt) and the matrices of the load at the end and the start of a step.
    const std::vector<double>& Phi() const { return m_phi; }
    const std::vector<double>& GammaEnd() const { return m_gammaEnd; }
    const std::vector<double>& GammaStart() const { return m_gammaStart; }
    // Modal method: eigenvalues (omega^2), mode shapes (rows, M-orthonormal) and steps.
    const std::vector<double>& Lambda() const { return m_lambda; }
    const std::vector<double>& Shapes() const { return m_shapes; }
    const std::vector<ModalStep>& Steps() const { return m_steps; }
    // Set when Integrate failed for a reason it has already reported.
    bool Reported() const { return m_reported; }

    // In-place inverse of a symmetric positive matrix by cyclic Gauss-Jordan elimination
    // without pivoting; false when a pivot is negligible against 1.
    static bool InvertSymmetric(double* A, int m);

    ResponseMethod m_method = ResponseMethod::kModal;
    // Plain triple loops instead of BLAS for the dense products of the full method (the
    // reference for tests and benchmarks).
    bool m_plainProducts = false;
    // K y of the free equations in extended precision from the elements' own forces, for the
    // refinement of the modal eigenvalues (empty: the stiffness as given).
    std::function<void(const double* y, long double* ky)> m_stiffnessProduct;
    // Stop request shared with the engine (nullptr: never stopped).
    const std::atomic<std::uint8_t>* m_keepRunning = nullptr;

private:
    bool Stopped() const { return m_keepRunning && m_keepRunning->load() == 0; }
    void Gemm(int r, int c, int k, double alpha, const double* A, int lda, const double* B, int ldb,
              double beta, double* C, int ldc) const;
    void Gemv(int r, int c, const double* A, const double* x, double* y) const;
    bool PrepareFull();
    bool PrepareModal();
    // x_new = Phi x + GammaEnd F(t_i) + GammaStart F(t_i-1), one step at a time.
    bool StepFull(CPlaneFrame& frame, int records, class CResponseWriter& out);
    // The modal recursion over batches of steps, loads and results through BLAS products.
    bool StepModal(CPlaneFrame& frame, int records, class CResponseWriter& out);

    double* m_mr;
    const double* m_kr;
    const double* m_cr;
    int m_m;
    double m_dt;
    int m_halvings;
    double m_alpha = 0, m_beta = 0;
    bool m_reported = false;
    std::vector<double> m_phi;         // 2m x 2m
    std::vector<double> m_gammaEnd;    // 2m x m
    std::vector<double> m_gammaStart;  // 2m x m
    std::vector<double> m_lambda;      // m
    std::vector<double> m_shapes;      // m x m, row j the shape of mode j
    std::vector<ModalStep> m_steps;    // m
};
