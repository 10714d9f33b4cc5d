#pragma once

#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "model/PickUpRule.h"

namespace orinsub::views {

/// The DMX input as the panes' pick-up sees it on one tick.
struct InputPickUp
{
    /// The interface is open and its reads have not failed more than 10 times in a row; otherwise
    /// every hooked fader lets go.
    bool available = false;
    /// The last read succeeded: only then may the input newly catch a fader.
    bool mayCatch = false;
    const dmx::COrinZentra *port = nullptr;

    static InputPickUp Now()
    {
        constexpr int kMaxReadFailures = 10;
        InputPickUp pickUp;
        pickUp.port = model::g_orin.m_pZentra;
        if (pickUp.port && pickUp.port->IsOpen()) {
            const int failures = pickUp.port->GetReadFailures();
            pickUp.available = failures <= kMaxReadFailures;
            pickUp.mayCatch = failures == 0;
        }
        return pickUp;
    }

    uint8_t Input(int slot) const { return port->GetInputSlot(slot); }
};

} // namespace orinsub::views
