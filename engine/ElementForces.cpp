// End forces from the displacements, and N, Q, M along an element.
#include <algorithm>

#include "engine/LocalStiffness.h"
#include "engine/PlaneFrame.h"

EndForceSet CPlaneFrame::ElasticEndForces(int element, const double* d) const {
    const Element& el = m_elements[element];
    const double c = el.cos, s = el.sin;
    const int g[6] = {m_dofNum[el.iNode][0], m_dofNum[el.iNode][1], m_dofNum[el.iNode][2],
                      m_dofNum[el.jNode][0], m_dofNum[el.jNode][1], m_dofNum[el.jNode][2]};
    const double u[6] = {c * d[g[0]] + s * d[g[1]], -s * d[g[0]] + c * d[g[1]], d[g[2]],
                         c * d[g[3]] + s * d[g[4]], -s * d[g[3]] + c * d[g[4]], d[g[5]]};

    double k[6][6];
    LocalStiffness(ElementStiffnessTerms(element), k);
    EndForceSet f{};
    for (int a = 0; a < 6; ++a) {
        double sum = 0;
        for (int b = 0; b < 6; ++b) sum += k[a][b] * u[b];
        f[a] = sum;
    }
    return f;
}

EndForceSet CPlaneFrame::EndForces(int element, int loadCase) const {
    EndForceSet f = ElasticEndForces(element, &m_disp[static_cast<size_t>(loadCase) * m_nDof]);
    const double L = m_elements[element].length;
    if (!m_elemLoads.empty()) {
        for (const ElementLoad& r : m_elemLoads[element]) {
            if (r.loadCase != loadCase) continue;
            const EndForceSet q = EquivalentLoads(r, L);
            for (int a = 0; a < 6; ++a) f[a] -= q[a];
        }
    }
    return f;
}

void CPlaneFrame::ForcesAt(int element, int loadCase, double x, const EndForceSet& ef, double& N,
                           double& Q, double& M) const {
    N = -ef[0];
    Q = ef[1];
    M = ef[2] - ef[1] * x;
    if (m_elemLoads.empty()) return;
    for (const ElementLoad& r : m_elemLoads[element]) {
        if (r.loadCase != loadCase) continue;
        const double a = r.d1;
        if (r.type == 1) {
            if (x > a) {
                N -= r.d2;
                Q += r.d3;
                M -= r.d3 * (x - a) - r.d4;
            }
        } else if (r.type == 3 || r.type == 5) {
            const double qx = r.d2, qy = r.d3, m = r.d4;
            const double xa = std::min(x, a);
            N -= qx * xa;
            Q += qy * xa;
            if (x >= a)
                M -= a * (x - a / 2) * qy - a * m;
            else
                M -= x * x * qy / 2 - x * m;
            if (r.type == 5) {
                const double dqx = r.d5 - r.d2, dqy = r.d6 - r.d3, dm = r.d7 - r.d4;
                if (x >= a) {
                    N -= a * dqx / 2;
                    Q += a * dqy / 2;
                    M -= a * dqy * (x / 2 - a / 3) - a * dm / 2;
                } else {
                    N -= x * x * dqx / (2 * a);
                    Q += x * x * dqy / (2 * a);
                    M -= dqy * x * x * x / (6 * a) - dm * x * x / (2 * a);
                }
            }
        }
    }
}
