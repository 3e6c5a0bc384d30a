// Element end values of a state vector and the edge stress of a section.
#include "engine/BeamShape.h"

#include "engine/PlaneFrame.h"
#include "platform/Assert.h"

void ElementEndValues(const CPlaneFrame& frame, int element, const double* state, double d[6]) {
    MORVEX_ASSERT(element >= 0 && element < frame.m_nElements);
    const Element& el = frame.m_elements[element];
    for (int k = 0; k < 3; ++k) {
        MORVEX_ASSERT(frame.m_dofNum[el.iNode][k] >= 0 && frame.m_dofNum[el.jNode][k] >= 0 &&
                      frame.m_dofNum[el.iNode][k] < frame.m_nDof &&
                      frame.m_dofNum[el.jNode][k] < frame.m_nDof);
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
