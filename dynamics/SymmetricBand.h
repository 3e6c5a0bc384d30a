// Symmetric band matrices of the free equations, for the eigen-solution of large models and
// the Sturm-sequence check, in LAPACK's upper band layout (column j of the upper triangle is
// row j of the lower one: entry (j, i), i <= j, at a[j * (band + 1) + band - (j - i)]).
#pragma once

#include <functional>
#include <vector>

#include "dynamics/EigenSolver.h"

class CPlaneFrame;

struct SymmetricBand {
    int n = 0;
    int band = 0;
    std::vector<double> a;

    // Entry (i, j) for i >= j >= i - band.
    double& At(int i, int j) { return a[static_cast<size_t>(i) * (band + 1) + band - (i - j)]; }
    double At(int i, int j) const {
        return a[static_cast<size_t>(i) * (band + 1) + band - (i - j)];
    }
    // False when the memory is not available.
    bool Allocate(int size, int halfBand);
    // y = A x.
    void Multiply(const double* x, double* y) const;
};

// The assembled stiffness before supports, read back from B.stf in the band layout of
// m_diagAddr. False after a message when the file is missing or short, or memory runs out.
bool ReadAssembledStiffness(const CPlaneFrame& frame, std::vector<double>& band);

// The stiffness (from B.stf) and the consistent mass of the free equations of the static
// analysis, in their ascending order, without the dense squares. False after a message when
// B.stf is missing or memory runs out.
bool BuildFreeBands(CPlaneFrame& frame, SymmetricBand& K, SymmetricBand& M);

// Number of negative pivots of the LDL^T factor of K - sigma M (no pivoting), which by
// Sylvester's law of inertia is the number of eigenvalues of K x = lambda M x below sigma.
// -1 when stopped or out of memory.
int CountEigenvaluesBelow(const SymmetricBand& K, const SymmetricBand& M, double sigma,
                          const StopFlag& keep);

// The lowest count eigenpairs of K x = lambda M x by ARPACK's shift-invert Lanczos about 0:
// values ascending, vectors (M-orthonormal) as rows of count x n. False when K is not positive
// definite, the iteration fails, or on a stop request.
bool LowestEigenpairs(const SymmetricBand& K, const SymmetricBand& M, int count,
                      std::vector<double>& values, std::vector<double>& vectors,
                      const StopFlag& keep);

// K y over the K.n equations with its sums in extended precision; the eigenvalue refinement
// takes its residual from it.
using StiffnessProduct = std::function<void(const double* y, long double* ky)>;

// K y over the given free equations (ascending) from the elements' own forces (see
// ElementInternalForces); frame and reduced must outlive the product.
StiffnessProduct ElementStiffnessProduct(const CPlaneFrame& frame, const std::vector<int>& reduced);

// Recomputes each eigenvalue from its vector as the Rayleigh quotient of the inverted pencil,
// lambda = x^T M x / x^T M K^-1 M x, with K^-1 M x solved by the band factor of K and refined
// against product (the stored band, in extended precision, when product is empty) until the
// corrections reach rounding or stop shrinking. The quotient is second-order exact in the
// vector's error and never forms K x, whose rounding makes a small eigenvalue from a solver
// working on K itself wrong by about eps lambda_max / lambda. With a product free of the
// assembled stiffness's rounding (the elements' own forces), a fine mesh's eigenvalues are
// those of its elements, not of the rounded assembly. vectors holds count rows of K.n
// entries. False when K is not positive definite, memory runs out or on a stop request; the
// values are then unchanged.
bool RefineEigenvalues(const SymmetricBand& K, const SymmetricBand& M,
                       const StiffnessProduct& product, const double* vectors, int count,
                       double* values, const StopFlag& keep);
