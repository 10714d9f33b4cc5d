#pragma once

#include <QProcess>
#include <QString>

#include <unistd.h>

namespace orinsub::testing {

/// The environment of a console started by a test: settings in folder/config, recovery files in
/// folder/state, and no interface chosen by the machine's own environment.
inline QProcessEnvironment ConsoleEnvironment(const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", folder + "/config");
    environment.insert("XDG_STATE_HOME", folder + "/state");
    environment.remove("ORINSUB_DMX");
    return environment;
}

/// The display number a private X server tries at its attempt-th start: one of this process's
/// own, since two servers that look for the first free one at the same moment can break each
/// other's socket. The caller skips a number whose lock file exists, and tries the next when the
/// server did not start.
inline int PrivateDisplayNumber(int attempt)
{
    return 100 + (static_cast<int>(getpid()) + attempt * 37) % 900;
}

/// Asks a process the test started to end, kills it when it lingers, and waits for it: an X
/// server or a JACK server removes its socket and lock only when asked.
inline void StopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace orinsub::testing
