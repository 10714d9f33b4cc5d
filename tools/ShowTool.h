#pragma once

#include <QStringList>
#include <ostream>

namespace orinsub::tools {

/// The show-file tool: new, dump, build and check. Bad input of any kind gives one line on
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
    int Print(const QString &text);
    int Fail(const QString &message);

    std::ostream &m_out;
    std::ostream &m_err;
};

} // namespace orinsub::tools
