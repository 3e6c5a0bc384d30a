// Iterative refinement of the static solution and the equilibrium check after it.
//
// On a fine mesh the assembled stiffness cannot be trusted to the last digit: rounding its
// entries breaks each element's rigid-body motions, which acts like springs to the ground of
// the order of eps E I / h^3 at every node, and on a 10,000-element beam that alone moves
// mid-span by a few per cent. The residual is therefore taken element by element from the
// deformations (end displacements relative to a rigid motion of the first end), which are
// free of that error, and the factor of the assembled matrix serves only to correct.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "engine/SolutionCheck.h"

#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// A residual below this share of the loads is what a well-conditioned solution leaves: nothing
// to mend, and the solution stays bit for bit as it was.
constexpr double kResidualFloor = 1e-12;
constexpr int kRefinementSteps = 8;
// Reactions that miss the applied loads by more than this share are reported.
constexpr double kEquilibriumTolerance = 1e-6;
// Elements shorter than this share of the model's size make a stiffness whose condition
// exceeds what double precision holds (it grows with the fourth power of the ratio).
constexpr double kFineMeshRatio = 2000;

}  // namespace

void ElementInternalForces(const CPlaneFrame& f, const double* u, std::vector<long double>& out) {
    std::fill(out.begin(), out.end(), 0.0L);
    for (int e = 0; e < f.m_nElements; ++e) {
        const Element& el = f.m_elements[e];
        const auto& gi = f.m_dofNum[el.iNode];
        const auto& gj = f.m_dofNum[el.jNode];
        const long double c = el.cos, s = el.sin, L = el.length;
        // The cantilever stiffness of node j needs only these terms.
        const StiffnessTerms t = f.ElementStiffnessTerms(e);
        const long double kN = t.kN, kV = t.kV, kTj = t.kTj, kjj = t.kjj;
        // Deformations: node j against the rigid motion of node i, in local axes.
        const long double dx = static_cast<long double>(u[gj[0]]) - u[gi[0]];
        const long double dy = static_cast<long double>(u[gj[1]]) - u[gi[1]];
        const long double da = c * dx + s * dy;
        const long double db = -s * dx + c * dy - u[gi[2]] * L;
        const long double dt = static_cast<long double>(u[gj[2]]) - u[gi[2]];
        // Forces at node j (the cantilever stiffness), at node i by equilibrium.
        const long double Na = kN * da;
        const long double Vb = kV * db - kTj * dt;
        const long double Mj = -kTj * db + kjj * dt;
        const long double Mi = -Mj - Vb * L;
        const long double Fx = c * Na - s * Vb, Fy = s * Na + c * Vb;
        out[gj[0]] += Fx;
        out[gj[1]] += Fy;
        out[gj[2]] += Mj;
        out[gi[0]] -= Fx;
        out[gi[1]] -= Fy;
        out[gi[2]] += Mi;
    }
}

namespace {

// Residual of the free equations into r; returns its largest entry relative to the largest
// load or internal force.
double Residual(const CPlaneFrame& f, const double* load, const double* x,
                std::vector<long double>& internal, std::vector<double>& r) {
    ElementInternalForces(f, x, internal);
    double norm = 0, size = 0;
    for (int g = 0; g < f.m_nDof; ++g) {
        r[g] = 0;
        if (f.m_dofStatus[g] != 0) continue;
        r[g] = static_cast<double>(load[g] - internal[g]);
        norm = std::max(norm, std::fabs(r[g]));
        size = std::max({size, std::fabs(load[g]), static_cast<double>(std::fabs(internal[g]))});
    }
    return size > 0 ? norm / size : 0;
}

}  // namespace

void RefineSolution(CPlaneFrame& f) {
    const int n = f.m_nDof;
    std::vector<double> r;
    std::vector<long double> internal;
    try {
        r.resize(static_cast<size_t>(n));
        internal.resize(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        return;  // the unrefined solution stands; the equilibrium check will say if it is poor
    }
    for (int c = 0; c < f.m_nCases; ++c) {
        double* x = &f.m_disp[static_cast<size_t>(c) * n];
        const double* load = &f.m_loadOrig[static_cast<size_t>(c) * n];
        // A solution at rounding level stays bit for bit as it was.
        if (!(Residual(f, load, x, internal, r) > kResidualFloor)) continue;
        double lastChange = std::numeric_limits<double>::infinity();
        for (int step = 0; step < kRefinementSteps; ++step) {
            f.Substitute(r.data(), 1);
            double change = 0, largest = 0;
            for (int g = 0; g < n; ++g) {
                if (f.m_dofStatus[g] != 0) continue;
                x[g] += r[g];
                change = std::max(change, std::fabs(r[g]));
                largest = std::max(largest, std::fabs(x[g]));
            }
            // Done when the corrections reach what a double holds, or stop shrinking.
            if (!(change > 4 * std::numeric_limits<double>::epsilon() * largest)) break;
            if (!(change < 0.5 * lastChange)) break;
            lastChange = change;
            if (!(Residual(f, load, x, internal, r) > kResidualFloor)) break;
        }
    }
}

double CheckEquilibrium(CPlaneFrame& f) {
    double worstAll = 0;
    std::string cases;
    std::vector<long double> internal;
    try {
        internal.resize(static_cast<size_t>(f.m_nDof));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // The direction of each equation (a slave shares its master's).
    std::vector<signed char> direction(static_cast<size_t>(f.m_nDof), -1);
    for (int node = 0; node < f.m_nNodes; ++node)
        for (int d = 0; d < 3; ++d) direction[f.m_dofNum[node][d]] = static_cast<signed char>(d);
    for (int c = 0; c < f.m_nCases; ++c) {
        const double* u = &f.m_disp[static_cast<size_t>(c) * f.m_nDof];
        const double* load = &f.m_loadOrig[static_cast<size_t>(c) * f.m_nDof];
        ElementInternalForces(f, u, internal);
        // Applied loads and support reactions in global x and y.
        long double sum[2] = {0, 0}, size[2] = {0, 0};
        for (int g = 0; g < f.m_nDof; ++g) {
            const int d = direction[g];
            if (d < 0 || d > 1) continue;
            sum[d] += load[g];
            size[d] += std::fabs(load[g]);
            if (f.m_dofStatus[g] == 1) {
                const long double reaction = internal[g] - load[g];
                sum[d] += reaction;
                size[d] += std::fabs(reaction);
            }
        }
        // Against the forces of both directions: a direction that carries next to nothing
        // (the horizontal of a girder under vertical loads) is measured by the whole.
        const long double total = size[0] + size[1];
        double worst = 0;
        for (int d = 0; d < 2; ++d)
            if (total > 0) worst = std::max(worst, static_cast<double>(std::fabs(sum[d]) / total));
        worstAll = std::max(worstAll, worst);
        if (!(worst <= kEquilibriumTolerance)) {
            const std::string line = FormatString(
                "警告：工况%d的支座反力与所加荷载不平衡(相对误差%.1e)，网格过细或结构接近可变，"
                "结果精度不足!",
                c + 1, worst);
            f.m_outFile.Printf("\n%s", line.c_str());
            cases += (cases.empty() ? "" : "\n") + line;
        }
    }
    if (!cases.empty()) {
        ShowStatus(cases);
        ShowMessage(cases);
    }
    return worstAll;
}

bool MeshTooFine(const CPlaneFrame& f) {
    double shortest = 0;
    for (const Element& el : f.m_elements)
        if (el.length > 0 && (shortest == 0 || el.length < shortest)) shortest = el.length;
    const double size = std::max(f.m_xMax - f.m_xMin, f.m_yMax - f.m_yMin);
    return shortest > 0 && size / shortest > kFineMeshRatio;
}
