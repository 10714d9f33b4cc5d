#include "support/TempFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome Start(const QStringList &arguments, const QString &midiVariable = {})
{
    const QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.remove("ORINSUB_DMX");
    environment.insert("JACK_DEFAULT_SERVER", "orinsub-no-such-server");
    if (midiVariable.isEmpty())
        environment.remove("ORINSUB_MIDI");
    else
        environment.insert("ORINSUB_MIDI", midiVariable);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
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
        const Outcome run = Start(c.arguments, c.variable);
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("orinsub: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

TEST(MidiCommandLine, HelpNamesTheMidiOptionsAndListingStaysQuietWithoutPorts)
{
    const Outcome help = Start({"--help"});
    for (const char *option :
         {"--midi DEVICE", "--midi-map FILE", "alsa:", "jack:", "ORINSUB_MIDI"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    const Outcome list = Start({"--list-devices"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "SIM-1\n");
    EXPECT_EQ(list.err, "");
}
