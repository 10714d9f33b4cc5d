#include "CurveOutput.h"

#include "OrinGlobal.h"
#include "OrinSUBDoc.h"
#include "dmx/OrinZentra.h"

#include <vector>

namespace orinsub::model {

void PublishDimmerCurves()
{
    const COrinSUBDoc *doc = g_orin.m_pDoc;
    dmx::COrinZentra *port = g_orin.m_pZentra;
    if (!doc || !port)
        return;
    // Dimmers mostly share a few curves: each is worked out once.
    std::vector<std::pair<DimmerCurve, CurveTable>> made;
    for (int d = 1; d <= kDimmers; ++d) {
        const DimmerCurve &curve = doc->m_extension.curves[d - 1];
        auto same = std::find_if(made.begin(), made.end(),
                                 [&](const auto &entry) { return entry.first == curve; });
        if (same == made.end())
            same = made.insert(made.end(), {curve, MakeCurveTable(curve)});
        port->GetCurveStage().SetTable(d, same->second);
    }
}

} // namespace orinsub::model
