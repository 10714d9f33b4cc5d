#include "support/Processes.h"
#include "support/ProgramRun.h"
#include "support/TempFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using orinsub::testing::ProgramRun;

ProgramRun Start(const QStringList &arguments, const QString &midiVariable = {})
{
    const QTemporaryDir folder;
    QProcessEnvironment environment = orinsub::testing::ConsoleEnvironment(folder.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("JACK_DEFAULT_SERVER", "orinsub-no-such-server");
    if (midiVariable.isEmpty())
        environment.remove("ORINSUB_MIDI");
    else
        environment.insert("ORINSUB_MIDI", midiVariable);
    QProcess process;
    process.setProcessEnvironment(environment);
    return orinsub::testing::RunToEnd(process, QStringLiteral(ORINSUB_EXECUTABLE), arguments);
}

} // namespace

TEST(MidiCommandLine, BadDevicesAndMappingFilesEndTheStartWithOneLine)
{
    QTemporaryDir folder;
    const QString broken = folder.filePath("broken.json");
    ASSERT_TRUE(orinsub::testing::WriteFile(
        broken,
        R"({"controls": [{"message": "cc", "channel": 0, "number": 7, "target": "A/1"}]})"));

    const struct
    {
        QStringList arguments;
        QString variable;
        const char *says;
    } cases[] = {
        {{"--midi", "usb:nano"}, {}, "usb:nano"},
        {{"--midi", "jack:"}, {}, "jack:"},
        {{"--list-devices"}, "alsa", "alsa"},
        {{"--midi-map", broken}, {}, "broken.json: controls の 1 番目: channel"},
        {{"--midi-map", folder.filePath("missing.json")}, {}, "missing.json: 読めません"},
    };
    for (const auto &c : cases) {
        const ProgramRun run = Start(c.arguments, c.variable);
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("orinsub: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

TEST(MidiCommandLine, HelpNamesTheMidiOptionsAndListingStaysQuietWithoutPorts)
{
    const ProgramRun help = Start({"--help"});
    for (const char *option :
         {"--midi DEVICE", "--midi-map FILE", "alsa:", "jack:", "ORINSUB_MIDI"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    const ProgramRun list = Start({"--list-devices"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "SIM-1\n");
    EXPECT_EQ(list.err, "");
}
