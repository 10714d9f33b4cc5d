#pragma once

#include "ControlTarget.h"

#include <vector>

namespace orinsub::surfaces {

/// One device that plays the desk through the control layer: a MIDI fader box, an OSC client
/// group, a web page. The layer calls it on the UI thread only.
class Surface
{
public:
    virtual ~Surface() = default;

    /// Motorised faders follow the console (feedback moves them), so the layer applies their
    /// moves at once; other faders must first pick the console fader up.
    virtual bool IsMotorised() const = 0;

    /// The targets whose values this surface shows (strip/k included, as the surface names
    /// them); the layer sends feedback for these only. The layer asks at every move: the list
    /// is kept, not made.
    virtual const std::vector<ControlTarget> &ShownTargets() const = 0;

    /// A shown target's value changed, or the surface has just been attached, or its bank
    /// changed. value: as Desk::Value gives it (faders 0..255, go/time in tenths of a second,
    /// a lamp 0 or 1; a bank button lit for the current bank). caught: for pick-up targets,
    /// whether a control of this surface holds the console fader (always true when motorised).
    /// Never called for a surface's own change, nor while its fader on that target is touched.
    virtual void OnFeedback(const ControlTarget &target, int value, bool caught) = 0;
};

} // namespace orinsub::surfaces
