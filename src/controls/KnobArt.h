#pragma once

#include <QPixmap>
#include <QSize>

namespace orinsub::controls {

/// The size of knob artwork id (ConsoleLook.h lists the ids); an empty size for an unknown id.
/// The sizes are fixed: they set the knob rectangles.
QSize KnobSize(int id);

/// The knob artwork of id, drawn in code the first time any knob is asked for and kept for the
/// run. A null pixmap for an unknown id. Needs a running QGuiApplication; UI thread only.
const QPixmap &KnobPixmap(int id);

} // namespace orinsub::controls
