#pragma once

#include "OscSurface.h"

#include <QStringList>

namespace orinsub::surfaces::osc {

/// The OSC surface as the operator asked for it: listening on listen ("[ADDRESS:]PORT"), with the
/// settings store's group [OSC]: ReplyTo, a list of "ADDRESS:PORT" that get feedback always, and
/// PickUp (false by default: moves act at once). Null when it cannot listen; problems gets one
/// line for that and one for each reply address it cannot read (the others still work).
std::unique_ptr<OscSurface> StartOscSurface(ControlLayer &layer, const QString &listen,
                                            QStringList &problems);

} // namespace orinsub::surfaces::osc
