#pragma once

namespace orinsub::model {

/// Hands every dimmer's curve of the show in g_orin to the DMX port's link, which applies them
/// last on each frame it sends. Call after a show opens and after curves change. UI thread.
void PublishDimmerCurves();

} // namespace orinsub::model
