// Influence lines, one solution each with the factorised stiffness: for a section force the
// state whose work with a unit load's equivalent nodal loads is that force, for a displacement
// the state of a unit action at the point. Either way an ordinate is what the static
// analysis gives for a unit load there.
#include <algorithm>
#include <cmath>
#include <new>

#include "engine/LocalStiffness.h"
#include "engine/BeamShape.h"
#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Memory.h"

namespace {

// Abscissae this close to an end of a path element are at that end (m).
constexpr double kPathSlack = 1e-9;
// How far a load standing at a section is moved, in a placement, to the side it was counted
// on (m): far beyond rounding, far below any effect.
constexpr double kSectionShift = 1e-6;

}  // namespace

bool CPlaneFrame::ComputeInfluenceLines() {
    const double count = (static_cast<double>(m_nIlLines) + 1) * m_nDof;
    bool allocated = FitsInMemory(8.0 * count);
    if (allocated) {
        try {
            m_ilStates.assign(static_cast<size_t>(count), 0.0);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        ShowMessage("错误：内存不够!(影响线状态数组)");
        return false;
    }
    for (int k = 0; k < m_nIlLines; ++k) {
        ComputeInfluenceLine(k);
        const double* state = &m_ilStates[static_cast<size_t>(k) * m_nDof];
        for (int j = 0; j < m_nDof; ++j) {
            if (std::isfinite(state[j])) continue;
            ShowMessage(FormatString("错误：第%d条影响线的计算结果不是有限数值!", k + 1));
            return false;
        }
    }
    return true;
}

void CPlaneFrame::ComputeInfluenceLine(int line) {
    ComputeInfluenceLineInto(m_ilRequests[line], &m_ilStates[static_cast<size_t>(line) * m_nDof]);
}

void CPlaneFrame::ComputeInfluenceLineInto(InfluenceRequest& r, double* state) const {
    std::fill(state, state + m_nDof, 0.0);
    const Element& el = m_elements[r.element];
    double fi[3], fj[3];
    InfluenceNodalLoads(r, fi, fj);
    for (int k = 0; k < 3; ++k) {
        state[m_dofNum[el.iNode][k]] += fi[k];
        state[m_dofNum[el.jNode][k]] += fj[k];
    }
    for (int g = 0; g < m_nDof; ++g)
        if (m_dofStatus[g] == 1) state[g] = 0;
    Substitute(state, 1);
}

void CPlaneFrame::ComputeInfluenceLinesInto(const InfluenceRequest* requests, int count,
                                            double* states, std::vector<double>& scratch) const {
    const size_t n = static_cast<size_t>(m_nDof), c = static_cast<size_t>(count);
    scratch.assign(n * c, 0.0);
    // The loads as ComputeInfluenceLineInto places them, in the same order (dofs may be
    // shared through slave nodes), each vector in its own column; a sum onto +0 and the
    // zero of a restrained equation are never -0, as SubstituteInterleaved needs.
    int first = m_nDof;
    for (size_t v = 0; v < c; ++v) {
        const Element& el = m_elements[requests[v].element];
        double fi[3], fj[3];
        InfluenceNodalLoads(requests[v], fi, fj);
        for (int k = 0; k < 3; ++k) {
            const int gi = m_dofNum[el.iNode][k], gj = m_dofNum[el.jNode][k];
            scratch[gi * c + v] += fi[k];
            scratch[gj * c + v] += fj[k];
            first = std::min(first, std::min(gi, gj));
        }
        for (int k = 0; k < 3; ++k)
            for (const int g : {m_dofNum[el.iNode][k], m_dofNum[el.jNode][k]})
                if (m_dofStatus[g] == 1) scratch[g * c + v] = 0;
    }
    SubstituteInterleaved(scratch.data(), count, first);
    for (size_t v = 0; v < c; ++v) {
        double* state = states + v * n;
        for (size_t j = 0; j < n; ++j) state[j] = scratch[j * c + v];
    }
}

void CPlaneFrame::InfluenceNodalLoads(const InfluenceRequest& r, double fi[3], double fj[3]) const {
    const Element& el = m_elements[r.element];
    const double L = el.length, c = el.cos, s = el.sin, x = r.position;
    for (int k = 0; k < 3; ++k) fi[k] = fj[k] = 0;
    if (r.quantity <= 3) {
        // A section force is a linear function of the element's end displacements (the end
        // forces of its stiffness, then statics to the section). Solving with that function
        // as the load gives the state whose work with the equivalent nodal loads of a unit
        // load is the section force the static analysis reports for it.
        double k[6][6];
        LocalStiffness(ElementStiffnessTerms(r.element), k);
        double a[6] = {0, 0, 0, 0, 0, 0};
        if (r.quantity == 1) a[0] = -1;
        if (r.quantity == 2) a[1] = 1;
        if (r.quantity == 3) a[1] = -x * L, a[2] = 1;
        double v[6];
        for (int p = 0; p < 6; ++p) {
            v[p] = 0;
            for (int q = 0; q < 6; ++q) v[p] += k[p][q] * a[q];
        }
        fi[0] = c * v[0] - s * v[1], fi[1] = s * v[0] + c * v[1], fi[2] = v[2];
        fj[0] = c * v[3] - s * v[4], fj[1] = s * v[3] + c * v[4], fj[2] = v[5];
    } else {
        // The consistent nodal loads of a unit action at the point.
        double p = 0, q = 0, m = 0;
        if (r.quantity == 4)
            p = c, q = -s;
        else if (r.quantity == 5)
            p = s, q = c;
        else
            m = 1;
        const double x2 = x * x, x3 = x2 * x;
        const double N1 = 1 - 3 * x2 + 2 * x3;
        const double Pi = (1 - x) * p;
        const double Qi = N1 * q - 6 * x * (1 - x) * m / L;
        const double Mi = x * (1 - x) * (1 - x) * L * q + (1 - x) * (1 - 3 * x) * m;
        const double Pj = x * p;
        const double Qj = (3 * x2 - 2 * x3) * q + 6 * x * (1 - x) * m / L;
        const double Mj = -x2 * (1 - x) * L * q + x * (3 * x - 2) * m;
        fi[0] = Pi * c - Qi * s, fi[1] = Qi * c + Pi * s, fi[2] = Mi;
        fj[0] = Pj * c - Qj * s, fj[1] = Qj * c + Pj * s, fj[2] = Mj;
    }
}

bool CPlaneFrame::LocateOnPath(double x, int& element, double& t) const {
    for (int f : m_ilElements) {
        const Element& el = m_elements[f];
        const double xi = m_nodes[el.iNode].x, xj = m_nodes[el.jNode].x;
        if (xi == xj) continue;  // a vertical element carries no abscissa
        // Abscissae a rounding error beyond an end are at the end: the sample at the end of
        // a path must not be lost to the last bit of a sum.
        const double tt = (x - xi) / (xj - xi), slack = kPathSlack / std::fabs(xj - xi);
        if (tt >= -slack && tt <= 1 + slack) {
            element = f;
            t = std::clamp(tt, 0.0, 1.0);
            return true;
        }
    }
    return false;
}

double CPlaneFrame::ValueOnPathElement(int f, double t, const InfluenceRequest& r,
                                       const double* state) const {
    const Element& el = m_elements[f];
    double d[6];
    ElementEndValues(*this, f, state, d);
    const double v = BeamShapeY(el.cos, el.sin, el.length, d, t);
    if (f != r.element || r.quantity > 3) return v;
    // A load on the section's own element also acts through its fixed-end forces and, once
    // it lies between the i node and the section, through statics, as in the static analysis.
    const double L = el.length, x = r.position * L;
    ElementLoad unit;
    unit.type = 1;
    unit.d1 = t * L;
    unit.d2 = el.sin;  // a unit global +y load in local axes
    unit.d3 = el.cos;
    const EndForceSet q = EquivalentLoads(unit, L);
    const bool passed = x > unit.d1;
    if (r.quantity == 1) return v + q[0] - (passed ? unit.d2 : 0);
    if (r.quantity == 2) return v - q[1] + (passed ? unit.d3 : 0);
    return v - q[2] + q[1] * x - (passed ? unit.d3 * (x - unit.d1) : 0);
}

long long CPlaneFrame::SectionSample(const InfluenceRequest& r, const double* state,
                                     double& atSection, double& beside, bool& besideOnPath) const {
    // The bending moment is continuous; N and Q jump by the load's components.
    if (r.quantity != 1 && r.quantity != 2) return -1;
    const Element& el = m_elements[r.element];
    const double xi = m_nodes[el.iNode].x, xj = m_nodes[el.jNode].x;
    if (xi == xj ||
        std::find(m_ilElements.begin(), m_ilElements.end(), r.element) == m_ilElements.end())
        return -1;
    const double xs = xi + r.position * (xj - xi);
    const double k = SampleIndex(xs);
    if (!(k >= 0 && k <= m_ilSampleCount) ||
        std::fabs(SampleX(static_cast<long long>(k)) - xs) > kPathSlack * (1 + std::fabs(xs)))
        return -1;
    atSection = ValueOnPathElement(r.element, r.position, r, state);
    beside = atSection + (r.quantity == 1 ? -el.sin : el.cos);
    int f = 0;
    double t = 0;
    besideOnPath = LocateOnPath(xs + SectionShift(r, -1), f, t);
    return static_cast<long long>(k);
}

double CPlaneFrame::SectionShift(const InfluenceRequest& r, double factor) const {
    const Element& el = m_elements[r.element];
    const double dir = m_nodes[el.jNode].x > m_nodes[el.iNode].x ? 1 : -1;
    return factor * kSectionShift * dir;
}

double CPlaneFrame::DirectInfluenceValue(double x, const InfluenceRequest& r,
                                         const double* state) const {
    int f = 0;
    double t = 0;
    if (!LocateOnPath(x, f, t)) return 0;
    return ValueOnPathElement(f, t, r, state);
}

double CPlaneFrame::InfluenceValue(double x, int line) const {
    if (m_ilSamplesReady) {
        // Nearest sample: only abscissae within half a step of the path reach its ends.
        const double k = SampleIndex(x);
        if (k >= 0 && k <= m_ilSampleCount) return m_ilSamples[static_cast<size_t>(k)];
        return 0;
    }
    if (m_ilStates.empty()) return 0;  // no loading path
    return DirectInfluenceValue(x, m_ilRequests[line],
                                &m_ilStates[static_cast<size_t>(line) * m_nDof]);
}

void CPlaneFrame::SampleInfluenceLine(int line) {
    if (line < 0) line = m_nIlLines;
    m_ilSamplesReady = false;
    if (m_ilSamples.empty()) {
        try {
            m_ilSamples.assign(static_cast<size_t>(m_ilSampleCount) + 1, 0.0);
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    const InfluenceRequest& r = m_ilRequests[line];
    const double* state = &m_ilStates[static_cast<size_t>(line) * m_nDof];
    for (int i = 0; i <= m_ilSampleCount; ++i)
        m_ilSamples[i] = DirectInfluenceValue(SampleX(i), r, state);
    double atSection = 0, beside = 0;
    bool besideOnPath = false;
    const long long k = SectionSample(r, state, atSection, beside, besideOnPath);
    if (k >= 0) m_ilSamples[static_cast<size_t>(k)] = atSection;
    m_ilSamplesReady = true;
}
