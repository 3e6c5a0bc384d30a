// The graph-frame entry points of the envelope, live-load placement and dynamic-response
// drawings. Their data comes with the live-load and dynamics analyses; until then their
// commands stay disabled and these draw nothing.
#include "view/MorvexView.h"

bool CMorvexView::DrawEnvelope(CDrawSurface&, int) {
    return false;
}

double CMorvexView::DrawDynamicResponse(CDrawSurface&) {
    return 0.0;
}

void CMorvexView::DrawPlacedVehicles(CDrawSurface&) {}
