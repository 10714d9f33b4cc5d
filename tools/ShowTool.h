#pragma once

#include <QStringList>
#include <ostream>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::tools {

/// The show-file tool: new, dump, build, check, and the exchange with spreadsheets and other
/// consoles (CSV, USITT ASCII). Bad input of any kind gives one line on
/// err naming the file and what is wrong, exit status 1, and no file written.
class ShowTool
{
public:
    ShowTool(std::ostream &out, std::ostream &err) : m_out(out), m_err(err) {}

    /// Runs the command in args (without the program name); returns the exit status.
    int Run(const QStringList &args);

private:
    int New(const QString &showPath);
    int Dump(const QString &showPath);
    int Build(const QString &jsonPath, const QString &showPath);
    int Check(const QString &showPath);
    /// sheet: cues, patch or submasters.
    int ExportCsv(const QString &showPath, const QString &sheet);
    int ExportAscii(const QString &showPath);
    /// Replaces the cue list (and, from ASCII, the patch) of the show at showPath, or of a new
    /// show when there is none yet; prints what the file held that the show cannot.
    int Import(const QString &format, const QString &path, const QString &showPath);
    /// Reads the show at path into doc; false (after Fail) when it cannot be opened.
    bool Load(const QString &path, model::COrinSUBDoc &doc);
    int Write(const QByteArray &bytes);
    int Print(const QString &text);
    int Fail(const QString &message);

    std::ostream &m_out;
    std::ostream &m_err;
};

} // namespace orinsub::tools
