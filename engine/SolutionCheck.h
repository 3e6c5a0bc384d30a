// Iterative refinement of the static solution and the checks of its accuracy.
#pragma once

#include <vector>

class CPlaneFrame;

// The end forces of every element for displacements u (all equations), in global axes, summed
// per equation in extended precision: out[g] (resized by the caller to the equation count) is
// the internal force of equation g, K u without the rounding of the assembled stiffness. Each
// element's forces come from its deformations (end j against a rigid motion of end i).
void ElementInternalForces(const CPlaneFrame& frame, const double* u,
                           std::vector<long double>& out);

// A few steps of iterative refinement of every load case with the factorisation in place,
// the residual taken element by element from the deformations, in extended precision. A
// solution whose residual is already at rounding level is left untouched; refinement stops
// when the corrections reach rounding level or no longer shrink.
void RefineSolution(CPlaneFrame& frame);

// Sum of the support reactions against the applied loads, in x and y, for every load case.
// Each case off by more than 1e-6 of the forces involved gets a warning line in the result
// file, and all of them one host message. Returns the worst relative difference.
double CheckEquilibrium(CPlaneFrame& frame);

// Whether the elements are so short against the model's size that double precision cannot
// hold the solution (a stiffness that loses its pivots to rounding, not to a mechanism).
bool MeshTooFine(const CPlaneFrame& frame);
