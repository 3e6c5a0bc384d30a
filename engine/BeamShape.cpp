// Element end values of a state vector and the edge stress of a section.
#include "engine/BeamShape.h"

#include "engine/PlaneFrame.h"

void ElementEndValues(const CPlaneFrame& frame, int element, const double* state, double d[6]) {
    const Element& el = frame.m_elements[element];
    for (int k = 0; k < 3; ++k) {
        d[k] = state[frame.m_dofNum[el.iNode][k]];
        d[3 + k] = state[frame.m_dofNum[el.jNode][k]];
    }
}

double EdgeStress(const Section& si, const Section& sj, bool upper, double h, double N,
                  double M) {
    const double wi = si.I / (upper ? si.hTop : si.hBottom);
    const double wj = sj.I / (upper ? sj.hTop : sj.hBottom);
    const double sign = upper ? 1.0 : -1.0;
    return sign * M / ((1 - h) * wi + h * wj) + N / ((1 - h) * si.A + h * sj.A);
}
