#include "CommandLine.h"

#include "surfaces/midi/MidiPort.h"
#include "zentra/DeviceSelection.h"

#include <QCommandLineParser>

namespace orinsub::app {

namespace {

const QCommandLineOption kDmxOption(QStringLiteral("dmx"), {}, QStringLiteral("DEVICE"));
const QCommandLineOption kMidiOption(QStringLiteral("midi"), {}, QStringLiteral("DEVICE"));
const QCommandLineOption kMidiMapOption(QStringLiteral("midi-map"), {}, QStringLiteral("FILE"));
const QCommandLineOption kListOption(QStringLiteral("list-devices"));
const QCommandLineOption kScreenshotOption(QStringLiteral("screenshot"), {},
                                           QStringLiteral("FILE"));
const QCommandLineOption kHelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});

} // namespace

CommandLineAction ParseCommandLine(const QStringList &arguments, StartOptions &options,
                                   QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(
        {kDmxOption, kMidiOption, kMidiMapOption, kListOption, kScreenshotOption, kHelpOption});
    parser.addPositionalArgument(QStringLiteral("SHOW"), {});
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        error = unknown.isEmpty()
                    ? QStringLiteral("コマンドラインを読めません: %1").arg(parser.errorText())
                    : QStringLiteral("知らないオプションです: %1").arg(unknown.join(u' '));
        return CommandLineAction::Error;
    }
    if (parser.isSet(kHelpOption))
        return CommandLineAction::Help;
    const QStringList shows = parser.positionalArguments();
    if (shows.size() > 1) {
        error = QStringLiteral("ショーファイルは1つだけ指定できます: %1").arg(shows.join(u' '));
        return CommandLineAction::Error;
    }
    if (parser.isSet(kDmxOption))
        options.dmx = parser.value(kDmxOption).toStdString();
    options.midi = parser.value(kMidiOption);
    if (!options.midi.isEmpty() && !surfaces::midi::MidiDeviceName::Parse(options.midi, error))
        return CommandLineAction::Error;
    options.midiMap = parser.value(kMidiMapOption);
    options.listDevices = parser.isSet(kListOption);
    options.screenshot = parser.value(kScreenshotOption);
    options.show = shows.value(0);
    return CommandLineAction::Run;
}

QString HelpText()
{
    QString forms;
    for (const std::string &form : zentra::DeviceForms())
        forms += QStringLiteral("                      %1\n").arg(QString::fromStdString(form));
    return QStringLiteral(
               "使い方: orinsub [--dmx DEVICE] [--midi DEVICE] [--midi-map FILE] [--list-devices]\n"
               "               [--screenshot FILE] [SHOW]\n"
               "OrinSUB サブマスター卓: 照明コンソール\n"
               "\n"
               "  SHOW                開くショーファイル (*.orin)。省略すると最後に使ったショー\n"
               "                      (起動時に Shift を押していれば新規のショー)\n"
               "  --dmx DEVICE        使う DMX インターフェース。省略すると環境変数 %1、\n"
               "                      それもなければシミュレーション (sim)。指定の形:\n"
               "%2"
               "  --midi DEVICE       MIDI の操作卓。alsa:名前 (ALSA シーケンサー) か jack:名前、\n"
               "                      名前はポート名の一部。省略すると環境変数 ORINSUB_MIDI、\n"
               "                      それもなければ設定 (操作 > 外部操作卓...)\n"
               "  --midi-map FILE     MIDI の対応表 (JSON) を読む\n"
               "  --list-devices      インターフェースと MIDI が見つけた装置を表示して終了\n"
               "  --screenshot FILE   最初の描画の後でウィンドウを PNG に保存して終了\n"
               "                      (ディスプレイがなくても動きます)\n"
               "  -h, --help          この説明を表示して終了\n")
        .arg(QString::fromLatin1(zentra::kDeviceVariable), forms);
}

} // namespace orinsub::app
