#pragma once

#include <QByteArray>
#include <QString>

namespace orinsub::model {

/// Why a named file could not be read.
enum class FileReadProblem { None, NotFound, NotAFile, NoPermission, TooLarge, IoError };

struct RegularFileRead
{
    QByteArray bytes;
    FileReadProblem problem = FileReadProblem::None;
    QString systemError; // the system's own wording, for IoError

    bool IsOk() const { return problem == FileReadProblem::None; }
    /// Why, in the operator's words; empty for TooLarge, which each reader words with its limit.
    QString Reason() const;
};

/// Reads the regular file at path (a symbolic link to one counts) whole, when it holds at most
/// maxBytes. A FIFO, a device, a socket or a folder is refused without being read, so that no
/// name handed to the console can make it wait for a writer or read without end; a file that
/// grows past maxBytes while it is read is refused too. Safe to call from any thread.
RegularFileRead ReadRegularFile(const QString &path, qint64 maxBytes);

} // namespace orinsub::model
