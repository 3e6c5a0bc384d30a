// The solution methods a user can choose for the natural vibration and the dynamic response,
// and the record of the check that no natural mode was missed.
#pragma once

// LAPACK's generalised symmetric-definite driver (all modes) or shift-invert Lanczos (the
// lowest modes), or the classical Jacobi of the standard form, kept as a reference.
enum class EigenMethod { kLapack, kJacobi };

// Each mode integrated exactly in the modal basis, or the exponential of the whole first-order
// system by the 2^N algorithm, kept as a reference.
enum class ResponseMethod { kModal, kFull };

// Sturm-sequence check of a natural-vibration result: the number of negative pivots of
// K - shift M equals the number of eigenvalues below shift.
struct SturmCheck {
    bool done = false;
    double shift = 0;  // an eigenvalue (omega^2) just above the highest mode reported
    int below = 0;     // eigenvalues below shift
    int reported = 0;  // modes reported
};
