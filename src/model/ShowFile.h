#pragma once

#include "AtomicSave.h"
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

/// Saves doc at path through SaveBytesAtomically. A show larger than the open accepts is
/// refused before anything is written, so that every saved show opens again.
ShowFileResult SaveShowFile(const COrinSUBDoc &doc, const QString &path);

} // namespace orinsub::model
