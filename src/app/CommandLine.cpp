// The manual pages (docs/man/orinsub.1, orinsub.ja.1) describe every option and interface form
// here; a test holds them to --help.
#include "CommandLine.h"

#include "backup/BackupSetup.h"
#include "backup/BackupTexts.h"
#include "surfaces/midi/MidiPort.h"
#include "surfaces/osc/OscEndpoint.h"
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
const QCommandLineOption kRestoreOption(QStringLiteral("restore"), {}, QStringLiteral("yes|no"));
const QCommandLineOption kOscOption(QStringLiteral("osc"), {}, QStringLiteral("[ADDRESS:]PORT"));
const QCommandLineOption kRemoteOption(QStringLiteral("remote"), {},
                                       QStringLiteral("[ADDRESS:]PORT"));
const QCommandLineOption kRemotePairingOption(QStringLiteral("remote-pairing"), {},
                                              QStringLiteral("always|auto"));
const QCommandLineOption kHeadlessOption(QStringLiteral("headless"));
const QCommandLineOption kBackupPortOption(QStringLiteral("backup-port"), {},
                                           QStringLiteral("[ADDRESS:]PORT"));
const QCommandLineOption kBackupOfOption(QStringLiteral("backup-of"), {},
                                         QStringLiteral("HOST:PORT"));
const QCommandLineOption kBackupKeyOption(QStringLiteral("backup-key"), {}, QStringLiteral("FILE"));
const QCommandLineOption kSacnPriorityOption(QStringLiteral("sacn-priority"), {},
                                             QStringLiteral("N"));
const QCommandLineOption kHelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersionOption(QStringLiteral("version"));

CommandLineAction ParseBackupOptions(const QCommandLineParser &parser, StartOptions &options,
                                     QString &error)
{
    if (parser.isSet(kBackupPortOption)) {
        options.backupPort = parser.value(kBackupPortOption);
        if (!backup::ListenPoint::Parse(*options.backupPort, error))
            return CommandLineAction::Error;
    }
    if (parser.isSet(kBackupOfOption)) {
        options.backupOf = parser.value(kBackupOfOption);
        if (!backup::MainPoint::Parse(*options.backupOf, error))
            return CommandLineAction::Error;
    }
    if (options.backupPort && options.backupOf) {
        error = backup::kBothRoles;
        return CommandLineAction::Error;
    }
    if (parser.isSet(kBackupKeyOption))
        options.backupKey = parser.value(kBackupKeyOption);
    if (parser.isSet(kSacnPriorityOption)) {
        bool ok = false;
        const uint priority = parser.value(kSacnPriorityOption).toUInt(&ok);
        if (!ok || priority < zentra::kMinSacnPriority || priority > zentra::kMaxSacnPriority) {
            error = backup::kBadSacnPriority.arg(parser.value(kSacnPriorityOption));
            return CommandLineAction::Error;
        }
        options.sacnPriority = static_cast<uint8_t>(priority);
    }
    return CommandLineAction::Run;
}

} // namespace

CommandLineAction ParseCommandLine(const QStringList &arguments, StartOptions &options,
                                   QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kDmxOption, kMidiOption, kMidiMapOption, kListOption, kScreenshotOption,
                       kRestoreOption, kOscOption, kRemoteOption, kRemotePairingOption,
                       kHeadlessOption, kBackupPortOption, kBackupOfOption, kBackupKeyOption,
                       kSacnPriorityOption, kHelpOption, kVersionOption});
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
    if (parser.isSet(kVersionOption))
        return CommandLineAction::Version;
    for (const QCommandLineOption *option :
         {&kDmxOption, &kMidiOption, &kMidiMapOption, &kRestoreOption, &kOscOption, &kRemoteOption,
          &kRemotePairingOption, &kHeadlessOption, &kBackupPortOption, &kBackupOfOption,
          &kBackupKeyOption, &kSacnPriorityOption}) {
        if (parser.isSet(*option))
            options.consoleOptions << QStringLiteral("--") + option->names().constFirst();
    }
    const QStringList shows = parser.positionalArguments();
    if (shows.size() > 1) {
        error = QStringLiteral("ショーファイルは1つだけ指定できます: %1").arg(shows.join(u' '));
        return CommandLineAction::Error;
    }
    if (parser.isSet(kRestoreOption)) {
        const QString answer = parser.value(kRestoreOption);
        if (answer != QStringLiteral("yes") && answer != QStringLiteral("no")) {
            error = QStringLiteral("--restore には yes か no を指定します: %1").arg(answer);
            return CommandLineAction::Error;
        }
        options.restore = answer == QStringLiteral("yes") ? RestoreAnswer::Yes : RestoreAnswer::No;
    }
    if (parser.isSet(kOscOption)) {
        options.osc = parser.value(kOscOption);
        if (!surfaces::osc::OscEndpoint::ParseListen(options.osc, error))
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
    if (parser.isSet(kRemoteOption))
        options.remote = parser.value(kRemoteOption);
    if (parser.isSet(kRemotePairingOption)) {
        const QString pairing = parser.value(kRemotePairingOption);
        if (pairing != u"always" && pairing != u"auto") {
            error = QStringLiteral("--remote-pairing は always か auto です: %1").arg(pairing);
            return CommandLineAction::Error;
        }
        options.remotePairingAlways = pairing == u"always";
    }
    options.headless = parser.isSet(kHeadlessOption);
    return ParseBackupOptions(parser, options, error);
}

QString HelpText()
{
    QString forms;
    for (const std::string &form : zentra::DeviceForms())
        forms += QStringLiteral("                      %1\n").arg(QString::fromStdString(form));
    return QStringLiteral(
               "使い方: orinsub [OPTION]... [SHOW]\n"
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
               "  --restore yes|no    保存されずに終わった作業内容が残っていたとき、尋ねずに\n"
               "                      復元する (yes) か、復元せずに残しておく (no)\n"
               "  --osc [ADDRESS:]PORT\n"
               "                      OSC を UDP で受ける (アドレスの省略は 127.0.0.1)。\n"
               "                      /orinsub/A/1 などに 0～1 の float か 0～255 の int\n"
               "  --remote [ADDRESS:]PORT\n"
               "                      スマートフォンやタブレットから操作する Web リモートを\n"
               "                      そのポートで開始 (アドレスを省略すると 127.0.0.1)\n"
               "  --remote-pairing always|auto\n"
               "                      always: 127.0.0.1 でも端末のペアリングを求める\n"
               "                      auto: 127.0.0.1 以外のときだけ求める (既定)\n"
               "  --headless          ウィンドウなしで動かす (ディスプレイ不要)。操作は外部の\n"
               "                      操作卓、OSC、Web リモートから。残っていた作業内容は\n"
               "                      尋ねずに復元し、状態の変化を標準エラーに1行ずつ出す\n"
               "  --backup-port [ADDRESS:]PORT\n"
               "                      本番機として予備機をそのポートで待つ (アドレスの省略は\n"
               "                      127.0.0.1)\n"
               "  --backup-of HOST:PORT\n"
               "                      予備機としてその本番機に追従し、本番機が止まれば引き継ぐ\n"
               "  --backup-key FILE   本番機と予備機が共有する鍵ファイル (16 進数 64 文字以上、\n"
               "                      所有者だけが読めること)\n"
               "  --sacn-priority N   この卓の sACN 優先度 (1～200、既定 100。追従中の予備機は\n"
               "                      省略すると本番機より 10 低い)\n"
               "  -h, --help          この説明を表示して終了\n"
               "  --version           バージョンを表示して終了\n")
        .arg(QString::fromLatin1(zentra::kDeviceVariable), forms);
}

} // namespace orinsub::app
