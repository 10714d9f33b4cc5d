#pragma once

#include <QIcon>

namespace orinsub::app {

/// The application's icon (three faders on the console's grey), drawn at the usual sizes; the
/// same picture as the desktop icon in dist/icons.
QIcon ApplicationIcon();

} // namespace orinsub::app
