#pragma once

#include "ShowFileFormat.h"

#include <QByteArray>
#include <QString>

namespace orinsub::model {

/// Replaces the file at path with bytes so that it holds either its old content or all of the
/// new, never anything in between: the bytes go to a temporary file in the same folder, which
/// is flushed to disk and then renamed over path. A file at path that the user may not write
/// is never replaced. A symbolic link at path, even one whose target does not exist yet, keeps
/// pointing to the saved file. On failure nothing at path has changed, no temporary file is
/// left, and the message names path and says why. Safe to call from any thread.
ShowFileResult SaveBytesAtomically(const QString &path, const QByteArray &bytes);

} // namespace orinsub::model
