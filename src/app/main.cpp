#include "app/AppResources.h"
#include "app/CommandLine.h"
#include "app/HandOverQueue.h"
#include "app/MainFrame.h"
#include "app/MidiSurfaces.h"
#include "app/NetworkSurfaces.h"
#include "app/OrinSUBApp.h"
#include "app/ShellOpen.h"
#include "app/ShowDocument.h"
#include "app/StopSignals.h"
#include "controls/QuestionBox.h"
#include "surfaces/midi/MidiPort.h"
#include "zentra/DeviceSelection.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

using namespace orinsub::app;

namespace {

void Print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// A screenshot needs no screen: without a display the window is drawn off-screen. A console
// without a display never needs one, whatever the environment says.
void UseOffscreen(bool always)
{
    if (always || (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
                   !std::getenv("WAYLAND_DISPLAY")))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

/// A screenshot run and a console without a display have nobody at the screen: messages go to the
/// error stream and every question is answered Cancel (or its safe choice), so that no box waits
/// for an answer.
class UnattendedQuestions : public orinsub::controls::QuestionBox
{
public:
    bool AskOkCancel(QWidget *, const QString &text, const QString &) override
    {
        Warn(nullptr, text, {});
        return false;
    }
    int AskYesNoCancel(QWidget *, const QString &text, const QString &) override
    {
        Warn(nullptr, text, {});
        return -1;
    }
    bool AskSafeChoice(QWidget *, const QString &text, const QString &, const QString &,
                       const QString &) override
    {
        Warn(nullptr, text, {});
        return true;
    }
    std::optional<QString> AskSecret(QWidget *, const QString &text, const QString &) override
    {
        Warn(nullptr, text, {});
        return std::nullopt;
    }
    void Warn(QWidget *, const QString &text, const QString &) override
    {
        Print(stderr, QStringLiteral("orinsub: %1\n").arg(QString(text).replace(u'\n', u' ')));
    }
};

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    StartOptions options;
    QString error;
    switch (ParseCommandLine(arguments, options, error)) {
    case CommandLineAction::Help:
        Print(stdout, HelpText());
        return 0;
    case CommandLineAction::Version:
        Print(stdout, QStringLiteral("orinsub %1\n").arg(kVersion));
        return 0;
    case CommandLineAction::Error:
        Print(stderr, QStringLiteral("orinsub: %1\n").arg(error));
        return 2;
    case CommandLineAction::Run:
        break;
    }

    if (!CMidiSurfaces::CheckStartOptions(options, error) ||
        !CNetworkSurfaces::CheckStartOptions(options, error)) {
        Print(stderr, QStringLiteral("orinsub: %1\n").arg(error));
        return 2;
    }
    std::string deviceError;
    if (!zentra::SelectDevice(zentra::ChooseDevice(options.dmx), deviceError)) {
        Print(stderr, QStringLiteral("orinsub: %1\n").arg(QString::fromStdString(deviceError)));
        return 2;
    }
    if (options.listDevices) {
        for (const std::u16string &id : zentra::ListDevices())
            Print(stdout, QString::fromStdU16String(id) + u'\n');
        for (const QString &port : orinsub::surfaces::midi::ListMidiPorts())
            Print(stdout, port + u'\n');
        return 0;
    }

    if (options.sacnPriority)
        zentra::SetSacnPriority(*options.sacnPriority);
    // Nobody is there to answer: the desk a crash left comes back unasked.
    if (options.headless && options.restore == RestoreAnswer::Ask)
        options.restore = RestoreAnswer::Yes;
    const bool interactive = options.screenshot.isEmpty() && !options.headless;
    if (!interactive)
        UseOffscreen(options.headless);
    QApplication application(argc, argv);
    // Everything the operator reads is Japanese, Qt's own buttons and dialogs too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // A show opened from the desktop while the console runs goes to that console.
    const StartRoute route = CShellOpen::RouteStart(options);
    if (!route.runHere) {
        Print(route.status == 0 ? stdout : stderr, route.message + u'\n');
        return route.status;
    }

    CStopSignals stopSignals;
    UnattendedQuestions unattended;
    if (!interactive)
        orinsub::controls::SetQuestions(&unattended);
    COrinSUBApp app;
    CHandOverQueue handOvers(
        [&app](const QString &path) { app.GetDocument()->OpenDocumentFile(path); });
    // Listening from the start: a show opened meanwhile waits here instead of starting another
    // console on the same interface.
    CShellOpen shellOpen;
    if (route.listen) {
        shellOpen.Listen([&app, &handOvers](const QString &path) {
            if (CMainFrame *frame = app.GetMainFrame()) {
                frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
                frame->raise();
                frame->activateWindow();
            }
            if (!path.isEmpty())
                handOvers.HandOver(path);
        });
    }
    if (!app.InitInstance(options))
        return 1;
    stopSignals.CallOnSignal([&app] { app.StopOnSignal(); });
    handOvers.Start();
    const int status = QApplication::exec();
    if (const QString summary = app.GetNetworkSurfaces().OscSummary(); !summary.isEmpty())
        Print(stderr, summary + u'\n');
    return status;
}
