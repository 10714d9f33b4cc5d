#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace orinsub::testing {

/// How a program ended and what it said.
struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

/// Starts program in process (its environment set beforehand) and waits for its end; one that
/// has not ended within timeoutMs fails the test.
inline ProgramRun RunToEnd(QProcess &process, const QString &program, const QStringList &arguments,
                           int timeoutMs = 60000)
{
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(timeoutMs))
        << program.toStdString() << ' ' << arguments.join(' ').toStdString();
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace orinsub::testing
