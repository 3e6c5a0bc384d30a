// Excitation records of the dynamic response and their load contributions.
#include "dynamics/DynamicLoad.h"

#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"
#include "platform/DataLineReader.h"

void CDynamicLoad::Parse(int kind, std::string_view line, std::vector<int>& codes) {
    CFieldScanner f(line);
    if (kind == kMoving) {
        f.Double(m_x0).Double(m_speed).Double(m_amplitude).Int(m_harmonic).Double(m_circFreq);
        f.Double(m_phase).Double(m_startTime);
        m_type = kMoving;
        return;
    }
    f.Int(m_node).Int(m_dof).Double(m_amplitude).Int(m_harmonic).Double(m_circFreq).Double(m_phase);
    if (kind == kNodal) f.Double(m_startTime);
    if (m_node < 1 || m_node > m_owner->m_nNodes || m_dof < 1 || m_dof > 3) {
        m_type = kIgnored;
        return;
    }
    --m_node;
    --m_dof;
    m_type = kind;
    if (kind == kPrescribed) codes[static_cast<size_t>(Equation())] += 2;
}

int CDynamicLoad::Equation() const {
    return m_owner->m_dofNum[m_node][m_dof];
}

double CDynamicLoad::ForceAt(double t) const {
    const double s = t - m_startTime;
    if (s < 0) return 0;
    return m_harmonic != 0 ? m_amplitude * std::sin(m_circFreq * s + m_phase) : m_amplitude;
}

void CDynamicLoad::MotionAt(double t, double& d, double& v, double& a) const {
    d = v = a = 0;
    if (t < 0) return;
    if (m_harmonic == 0) {
        d = m_amplitude;
        return;
    }
    d = m_amplitude * std::sin(m_circFreq * t + m_phase);
    v = m_circFreq * m_amplitude * std::cos(m_circFreq * t + m_phase);
    a = -m_circFreq * m_circFreq * d;
}

void CDynamicLoad::AddLoad(double t, double* F) const {
    switch (m_type) {
        case kMoving:
            AddMovingLoad(t, F);
            break;
        case kNodal:
            F[Equation()] += ForceAt(t);
            break;
        case kPrescribed: {
            // The support motion enters as the inertia, damping and stiffness forces it causes
            // on every equation.
            double d, v, a;
            MotionAt(t, d, v, a);
            const CPlaneFrame& fr = *m_owner;
            const size_t n = static_cast<size_t>(fr.m_nDof);
            const int e = Equation();
            for (size_t i = 0; i < n; ++i) {
                const size_t hi = std::max<size_t>(i, e), lo = std::min<size_t>(i, e);
                const size_t at = hi * n + lo;
                F[i] -= fr.m_fullC[at] * v + fr.m_fullM[at] * a + fr.m_fullK[at] * d;
            }
            break;
        }
        default:
            break;
    }
}

void CDynamicLoad::AddMovingLoad(double t, double* F) const {
    if (t < m_startTime) return;
    const double f = ForceAt(t);
    const double x = m_x0 + m_speed * (t - m_startTime);
    const CPlaneFrame& fr = *m_owner;
    for (int k = 0; k < fr.m_nIlElements; ++k) {
        const Element& el = fr.m_elements[fr.m_ilElements[k]];
        const double xi = fr.m_nodes[el.iNode].x, xj = fr.m_nodes[el.jNode].x;
        if (xj == xi) continue;
        const double r = (x - xi) / (xj - xi);
        if (r < 0 || r > 1) continue;
        const double c = el.cos, s = el.sin, L = el.length;
        const double N1 = 1 - 3 * r * r + 2 * r * r * r;
        const double N2 = r * (1 - r) * (1 - r) * L;
        const double N4 = -r * r * (1 - r) * L;
        const auto& gi = fr.m_dofNum[el.iNode];
        const auto& gj = fr.m_dofNum[el.jNode];
        F[gi[0]] += f * c * s * ((1 - r) - N1);
        F[gi[1]] += f * (s * s * (1 - r) + c * c * N1);
        F[gi[2]] += f * c * N2;
        F[gj[0]] += f * c * s * (r - (1 - N1));
        F[gj[1]] += f * (s * s * r + c * c * (1 - N1));
        F[gj[2]] += f * c * N4;
        return;
    }
}

void CDynamicLoad::PrescribedState(double t, double* R) const {
    if (m_type != kPrescribed) return;
    double d, v, a;
    MotionAt(t, d, v, a);
    const int e = Equation();
    R[e] = d;
    R[static_cast<size_t>(m_owner->m_nDof) + e] = v;
}
