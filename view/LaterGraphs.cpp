// The graph-frame entry point of the dynamic-response drawing. Its data comes with the
// dynamics analyses; until then its command stays disabled and this draws nothing.
#include "view/MorvexView.h"

double CMorvexView::DrawDynamicResponse(CDrawSurface&) {
    return 0.0;
}
