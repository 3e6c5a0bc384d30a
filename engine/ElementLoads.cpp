// Element-load records and their equivalent nodal loads.
#include <cmath>

#include "engine/PlaneFrame.h"

namespace {

// Below this difference of the end heights a temperature load on a tapered element uses
// the factors of a uniform element: the closed forms are 0/0 at w = 1 and lose digits
// close to it, while the factors themselves differ from 1 only by O((w - 1)^2).
constexpr double kTaperTolerance = 1e-3;

}  // namespace

void CPlaneFrame::AddElementLoad(int element, int loadCase, int type, const double p[7]) {
    const Element& el = m_elements[element];
    const double L = el.length, c = el.cos, s = el.sin;
    if (type == 0) {
        // Self-weight of the whole structure, acting in global -y and varying linearly
        // between the weights of the end sections.
        for (int k = 0; k < m_nElements; ++k) {
            const Element& ek = m_elements[k];
            const double wi = m_sections[ek.iSection].weight;
            const double wj = m_sections[ek.jSection].weight;
            ElementLoad r;
            r.loadCase = loadCase;
            r.type = 5;
            r.d1 = ek.length;
            r.d2 = -ek.sin * wi;
            r.d3 = -ek.cos * wi;
            r.d4 = 0;
            r.d5 = -ek.sin * wj;
            r.d6 = -ek.cos * wj;
            r.d7 = 0;
            m_elemLoads[k].push_back(r);
        }
        return;
    }
    ElementLoad r;
    r.loadCase = loadCase;
    r.type = type;
    if (type == 7) {
        r.d1 = element;
        r.d2 = p[0];
        r.d3 = p[1];
        m_elemLoads[element].push_back(r);
        return;
    }
    r.d1 = p[0] < 0 ? 0 : (p[0] > L ? L : p[0]);
    r.d2 = p[1];
    r.d3 = p[2];
    r.d4 = p[3];
    r.d5 = p[4];
    r.d6 = p[5];
    r.d7 = p[6];
    if (type == 2 || type == 4 || type == 6) {
        r.d2 = c * p[1] + s * p[2];
        r.d3 = -s * p[1] + c * p[2];
        if (type == 6) {
            r.d5 = c * p[4] + s * p[5];
            r.d6 = -s * p[4] + c * p[5];
        }
        r.type = type - 1;
    }
    m_elemLoads[element].push_back(r);
}

EndForceSet CPlaneFrame::EquivalentLoads(const ElementLoad& r, double L) const {
    EndForceSet f{};
    if (r.type == 7) {
        const int e = static_cast<int>(r.d1);
        const Element& el = m_elements[e];
        const Section& si = m_sections[el.iSection];
        const Section& sj = m_sections[el.jSection];
        const Material& mat = m_materials[el.material];
        if (!(si.I > 0) || !(sj.I > 0)) {
            // A tie or hanger has no depth and takes no moment: only the mean temperature
            // acts, on the stiffness E (A_i + A_j) / 2 of the member.
            const double N0 = mat.alpha * mat.E * (si.A + sj.A) / 2 * (r.d2 + r.d3) / 2;
            f[0] = -N0;
            f[3] = N0;
            return f;
        }
        const double hi = std::sqrt(12 * si.I / si.A), hj = std::sqrt(12 * sj.I / sj.A);
        const double w = hj / hi, hm = (hi + hj) / 2;
        const double T = hm * mat.alpha * mat.E * (si.A / hi + sj.A / hj) / 2;
        const double t1 = r.d2, t2 = r.d3;
        const double N0 = T * (t1 + t2) / 2, M0 = hm * T * (t1 - t2) / 12;
        double b = 1, c = 1, fct = 1;
        if (std::fabs(w - 1) > kTaperTolerance) {
            const double lam = std::log(w), phi = w - 1;
            const double G = (w * lam - w + 1) * phi;
            const double H = (lam + w * w / 2 - 2 * w + 1.5) / G;
            const double K = w / 2 - 1 / (2 * w) - lam;
            const double G2 = K / G;
            const double J = phi * (phi - lam);
            const double I = (H - K / J) / ((lam + 2 / w - 1.5 - 1 / (2 * w * w)) / J - G2);
            fct = 4 / ((w + 1) * (w + 1)) / (H + G2 * I);
            c = I * fct;
            b = 2 * phi / ((w + 1) * lam);
        }
        f[0] = -b * N0;
        f[3] = b * N0;
        f[2] = fct * M0;
        f[5] = -c * M0;
        f[1] = (fct * M0 - c * M0) / L;
        f[4] = -f[1];
        return f;
    }
    const double a = r.d1, xi = a / L, eta = 1 - xi;
    const double X = r.d2, Y = r.d3, M = r.d4;
    if (r.type == 1) {
        f[0] = eta * X;
        f[1] = Y * (1 - 3 * xi * xi + 2 * xi * xi * xi) - 6 * M * xi * eta / L;
        f[2] = Y * a * eta * eta + M * eta * (eta - 2 * xi);
        f[3] = xi * X;
        f[4] = Y * (3 * xi * xi - 2 * xi * xi * xi) + 6 * M * xi * eta / L;
        f[5] = -Y * a * xi * eta + M * xi * (1 - 3 * eta);
        return f;
    }
    // Types 3 and 5: the uniform part with the i-node values.
    const double x2 = xi * xi, x3 = x2 * xi;
    f[0] = X * a * (1 - xi / 2);
    f[1] = Y * a * (1 - x2 + x3 / 2) + M * (2 * x3 - 3 * x2);
    f[2] = Y * a * a * (0.5 - 2 * xi / 3 + x2 / 4) + M * a * eta * eta;
    f[3] = X * a * xi / 2;
    f[4] = Y * a * (x2 - x3 / 2) - M * (2 * x3 - 3 * x2);
    f[5] = Y * a * a * (x2 / 4 - xi / 3) + M * a * (x2 - xi);
    if (r.type == 5) {
        const double dX = r.d5 - r.d2, dY = r.d6 - r.d3, dM = r.d7 - r.d4;
        f[0] += dX * a * (0.5 - xi / 3);
        f[1] += dY * a * (0.5 - 3 * x2 / 4 + 2 * x3 / 5) + dM * (3 * x3 / 2 - 2 * x2);
        f[2] += dY * a * a * (1.0 / 3 - xi / 2 + x2 / 5) + dM * a * (0.5 - 4 * xi / 3 + 3 * x2 / 4);
        f[3] += dX * a * xi / 3;
        f[4] += dY * a * (3 * x2 / 4 - 2 * x3 / 5) - dM * (3 * x3 / 2 - 2 * x2);
        f[5] += dY * a * a * (x2 / 5 - xi / 4) + dM * a * (3 * x2 / 4 - 2 * xi / 3);
    }
    return f;
}

void CPlaneFrame::AddEquivalentLoads() {
    if (m_elemLoads.empty()) return;
    for (int e = 0; e < m_nElements; ++e) {
        const Element& el = m_elements[e];
        const double c = el.cos, s = el.sin;
        const int g[6] = {m_dofNum[el.iNode][0], m_dofNum[el.iNode][1], m_dofNum[el.iNode][2],
                          m_dofNum[el.jNode][0], m_dofNum[el.jNode][1], m_dofNum[el.jNode][2]};
        for (const ElementLoad& r : m_elemLoads[e]) {
            const EndForceSet f = EquivalentLoads(r, el.length);
            double* v = &m_disp[static_cast<size_t>(r.loadCase) * m_nDof];
            v[g[0]] += c * f[0] - s * f[1];
            v[g[1]] += s * f[0] + c * f[1];
            v[g[2]] += f[2];
            v[g[3]] += c * f[3] - s * f[4];
            v[g[4]] += s * f[3] + c * f[4];
            v[g[5]] += f[5];
        }
    }
}
