#pragma once

#include "ShowFileContent.h"
#include "ShowFileFormat.h"

#include <QString>

namespace orinsub::model {

class COrinSUBDoc;

/// A show file read and checked completely; content is complete only when result is ok.
struct ShowFileRead
{
    ShowFileResult result;
    ShowFileContent content;
};

/// Reads the whole file at path and checks it, without touching any document.
ShowFileRead ReadShowFile(const QString &path);

/// Opens the show at path into doc, all or nothing: only a complete, valid file replaces the
/// show's names, patch and sub-masters; on any failure doc is left exactly as it was. The
/// modified flag, the patch selection and the output mix are the caller's.
ShowFileResult OpenShowFile(COrinSUBDoc &doc, const QString &path);

/// Saves doc at path atomically: the bytes go to a temporary file beside it, which is flushed
/// to disk and then renamed over path. A failure leaves any previous file at path untouched
/// and removes the temporary file. A symbolic link at path keeps pointing to the saved show.
ShowFileResult SaveShowFile(const COrinSUBDoc &doc, const QString &path);

} // namespace orinsub::model
