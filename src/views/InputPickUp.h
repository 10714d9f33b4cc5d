#pragma once

#include "controls/Fader.h"
#include "model/PickUpRule.h"
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

    /// One tick of the take-over for a fader fed by slot, while its target's IN is lit or not:
    /// a hooked fader follows the input (follow(level) moves it), and lets go (letGo() redraws
    /// it) when the input is lost or IN goes off; an unhooked one is caught when the input
    /// reaches or crosses its level after a clean read.
    template <class Follow, class LetGo>
    void Take(controls::CFader &fader, int slot, bool inputOn, Follow follow, LetGo letGo) const
    {
        if (!available) {
            if (fader.IsHooked()) {
                fader.SetHooked(false);
                fader.m_lastInput = 0;
                letGo();
            }
            return;
        }
        const uint8_t input = Input(slot);
        if (!inputOn) {
            if (fader.IsHooked()) {
                fader.SetHooked(false);
                letGo();
            }
        } else if (fader.IsHooked()) {
            follow(input);
        } else if (mayCatch && model::PicksUp(fader.GetLevel(), fader.m_lastInput, input)) {
            fader.SetHooked(true);
        }
        fader.m_lastInput = input;
    }
};

} // namespace orinsub::views
