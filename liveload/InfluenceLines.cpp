// Influence lines by the kinematic method: a unit jump at the section (forces) or a unit
// action at the point (displacements), solved with the factorised stiffness.
#include <cmath>
#include <new>

#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Memory.h"

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
    const double L = el.length, c = el.cos, s = el.sin;
    const double E = m_materials[el.material].E;
    const double a = m_sections[el.iSection].I, b = m_sections[el.jSection].I;
    const double Aa = m_sections[el.iSection].A, Ab = m_sections[el.jSection].A;
    const double x = r.position, d = a - b;
    const double Ix = (1 - x) * a + x * b, Ax = (1 - x) * Aa + x * Ab;
    const double x2 = x * x, x3 = x2 * x, x4 = x3 * x, x5 = x4 * x;
    double fi[3] = {0, 0, 0}, fj[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) r.leftFace[k] = r.rightFace[k] = 0;

    switch (r.quantity) {
        case 1: {
            const double R = (Ab + Ax) / (2 * Ax);
            const double N = -R * E * (Aa + Ax) / (2 * L);
            fi[0] = N * c, fi[1] = N * s;
            fj[0] = -N * c, fj[1] = -N * s;
            r.leftFace[0] = -R * x * c, r.leftFace[1] = -R * x * s;
            r.rightFace[0] = (1 - R * x) * c, r.rightFace[1] = (1 - R * x) * s;
            break;
        }
        case 2: {
            const double G = d * (6 * a * x + d * (x4 - 2 * x3 - 2 * x2)) - 3 * a * a;
            const double H =
                x2 *
                ((4 * x3 - 5 * x2 - 2 * x) * b * b + (4 * x3 - 14 * x2 + 16 * x - 6) * a * a -
                 (8 * x3 - 19 * x2 + 8 * x + 3) * a * b) /
                G;
            const double phi =
                x * (3 * (x - 1) / L) *
                (4 * a * a + 2 * a * b + 3 * d * d * x2 + (6 * a * b - 7 * a * a + b * b) * x) / G;
            const double V = -6 * E * Ix *
                             (3 * (a * b + a * a) + (4 * a * b + b * b - 5 * a * a) * x +
                              (2 * a * a + 2 * b * b - 4 * a * b) * x2) /
                             (G * L * L * L);
            const double Mi = E *
                              ((3 * x4 + 12 * x3 - 21 * x2 - 6 * x) * a * b * b +
                               (45 * x2 - 3 * x4 - 12 * x3 - 6 - 24 * x) * a * a * b +
                               (x4 + 4 * x3 - 23 * x2 + 30 * x - 12) * a * a * a -
                               (x4 + 4 * x3 + x2) * b * b * b) /
                              (G * L * L);
            const double Mj = Mi - 2 * E * d / (L * L);
            fi[0] = -V * s, fi[1] = V * c, fi[2] = Mi;
            fj[0] = V * s, fj[1] = -V * c, fj[2] = Mj;
            r.leftFace[0] = -H * s, r.leftFace[1] = H * c, r.leftFace[2] = phi;
            r.rightFace[0] = -(H - 1) * s, r.rightFace[1] = (H - 1) * c, r.rightFace[2] = phi;
            break;
        }
        case 3: {
            const double sg = x4 - 2 * x3 - 2 * x2;
            const double G = sg * b * b + (sg + 6 * x - 3) * a * a - 2 * (3 * x + sg) * a * b;
            const double H = -0.5 * x2 * (1 - x) * (1 - x) * L *
                             ((2 * x + 7 * x2) * b * b + (7 * x2 - 16 * x + 9) * a * a +
                              (14 * x + 3 - 14 * x2) * a * b) /
                             G;
            const double phi = -0.5 * x *
                               ((16 * x4 - 17 * x3 + 4 * x2 + 3 * x) * b * b +
                                (-32 * x4 + 82 * x3 - 68 * x2 + 12 * x + 6) * a * b +
                                (16 * x4 - 65 * x3 + 100 * x2 - 69 * x + 18) * a * a) /
                               G;
            const double V = E *
                             ((x2 - 2 * x3 - 11 * x4) * b * b * b +
                              (11 * x4 - 46 * x3 + 71 * x2 - 48 * x + 12) * a * a * a +
                              (33 * x4 - 42 * x3 - 3 * x2 + 6 * x) * a * b * b +
                              (-33 * x4 + 90 * x3 - 69 * x2 + 6 * x + 6) * a * a * b) /
                             (G * L * L);
            const double M = 0.5 * E *
                             ((-2 * x5 - 7 * x4 + 2 * x3 + x2) * b * b * b +
                              (6 * x5 + 19 * x4 - 50 * x3 + 13 * x2 + 6 * x) * a * b * b +
                              (2 * x5 + 5 * x4 - 46 * x3 + 87 * x2 - 66 * x + 18) * a * a * a +
                              (-6 * x5 - 17 * x4 + 94 * x3 - 101 * x2 + 24 * x + 6) * a * a * b) /
                             (L * G);
            fi[0] = V * s, fi[1] = -V * c, fi[2] = -M;
            fj[0] = -V * s, fj[1] = V * c, fj[2] = -(2 * E * Ix / L + M);
            r.leftFace[0] = -H * s, r.leftFace[1] = H * c, r.leftFace[2] = phi;
            r.rightFace[0] = -H * s, r.rightFace[1] = H * c, r.rightFace[2] = phi - 1;
            break;
        }
        default: {
            // The consistent nodal loads of a unit action at the point.
            double p = 0, q = 0, m = 0;
            if (r.quantity == 4)
                p = c, q = -s;
            else if (r.quantity == 5)
                p = s, q = c;
            else
                m = 1;
            const double N1 = 1 - 3 * x2 + 2 * x3;
            const double Pi = (1 - x) * p;
            const double Qi = N1 * q - 6 * x * (1 - x) * m / L;
            const double Mi = x * (1 - x) * (1 - x) * L * q + (1 - x) * (1 - 3 * x) * m;
            const double Pj = x * p;
            const double Qj = (3 * x2 - 2 * x3) * q + 6 * x * (1 - x) * m / L;
            const double Mj = -x2 * (1 - x) * L * q + x * (3 * x - 2) * m;
            fi[0] = Pi * c - Qi * s, fi[1] = Qi * c + Pi * s, fi[2] = Mi;
            fj[0] = Pj * c - Qj * s, fj[1] = Qj * c + Pj * s, fj[2] = Mj;
            break;
        }
    }
    for (int k = 0; k < 3; ++k) {
        state[m_dofNum[el.iNode][k]] += fi[k];
        state[m_dofNum[el.jNode][k]] += fj[k];
    }
    for (int g = 0; g < m_nDof; ++g)
        if (m_dofStatus[g] == 1) state[g] = 0;
    Substitute(state, 1);
    if (r.quantity > 3) return;

    // The cut moves with the element: add its displacement at the section to both faces.
    double u[6];
    for (int k = 0; k < 3; ++k) {
        u[k] = state[m_dofNum[el.iNode][k]];
        u[3 + k] = state[m_dofNum[el.jNode][k]];
    }
    const double ai = c * u[0] + s * u[1], vi = -s * u[0] + c * u[1];
    const double aj = c * u[3] + s * u[4], vj = -s * u[3] + c * u[4];
    const double axial = (1 - x) * ai + x * aj;
    const double trans = (1 - 3 * x2 + 2 * x3) * vi + (x - 2 * x2 + x3) * L * u[2] +
                         (3 * x2 - 2 * x3) * vj + (x3 - x2) * L * u[5];
    const double rot = ((6 * x2 - 6 * x) * vi + (1 - 4 * x + 3 * x2) * L * u[2] +
                        (6 * x - 6 * x2) * vj + (3 * x2 - 2 * x) * L * u[5]) /
                       L;
    const double add[3] = {c * axial - s * trans, s * axial + c * trans, rot};
    for (int k = 0; k < 3; ++k) {
        r.leftFace[k] += add[k];
        r.rightFace[k] += add[k];
    }
}

double CPlaneFrame::DisplacementAlongElement(double c, double s, const double d[6], double t,
                                             double length) {
    const double t2 = t * t, t3 = t2 * t;
    const double N1 = 1 - 3 * t2 + 2 * t3, N2 = (t - 2 * t2 + t3) * length;
    const double N3 = 3 * t2 - 2 * t3, N4 = (t3 - t2) * length;
    return (s * s * (1 - t) + c * c * N1) * d[1] + c * s * ((1 - t) - N1) * d[0] + c * N2 * d[2] +
           (s * s * t + c * c * N3) * d[4] + c * s * (t - N3) * d[3] + c * N4 * d[5];
}

bool CPlaneFrame::LocateOnPath(double x, int& element, double& t) const {
    for (int f : m_ilElements) {
        const Element& el = m_elements[f];
        const double xi = m_nodes[el.iNode].x, xj = m_nodes[el.jNode].x;
        if (xi == xj) continue;  // a vertical element carries no abscissa
        const double tt = (x - xi) / (xj - xi);
        if (tt >= 0 && tt <= 1) {
            element = f;
            t = tt;
            return true;
        }
    }
    return false;
}

double CPlaneFrame::ValueOnPathElement(int f, double t, const InfluenceRequest& r,
                                       const double* state) const {
    const Element& el = m_elements[f];
    double d[6];
    for (int k = 0; k < 3; ++k) {
        d[k] = state[m_dofNum[el.iNode][k]];
        d[3 + k] = state[m_dofNum[el.jNode][k]];
    }
    if (f != r.element || r.quantity > 3)
        return DisplacementAlongElement(el.cos, el.sin, d, t, el.length);
    const double xi = r.position;
    if (t >= xi) {
        // From the cut to node j.
        for (int k = 0; k < 3; ++k) d[k] = r.rightFace[k];
        const double local = xi > 0.9999999999 ? 1.0 : (t - xi) / (1 - xi);
        return DisplacementAlongElement(el.cos, el.sin, d, local, (1 - xi) * el.length);
    }
    for (int k = 0; k < 3; ++k) d[3 + k] = r.leftFace[k];
    const double local = xi < 1e-10 ? 0.0 : t / xi;
    return DisplacementAlongElement(el.cos, el.sin, d, local, xi * el.length);
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

void CPlaneFrame::SampleInfluenceLine() {
    m_ilSamplesReady = false;
    if (m_ilSamples.empty()) {
        try {
            m_ilSamples.assign(static_cast<size_t>(m_ilSampleCount) + 1, 0.0);
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    for (int i = 0; i <= m_ilSampleCount; ++i)
        m_ilSamples[i] = InfluenceValue(m_ilXMin + 0.1 * i, m_nIlLines);
    m_ilSamplesReady = true;
}
