#pragma once

#include <QColor>
#include <QString>

// The application's resources in one place: command ids, menu texts with their shown shortcuts,
// captions and the strings of the show document and the About box.
namespace orinsub::app {

/// Command ids of the menus and accelerators (the patch window uses 32775 and 32777 too).
enum CommandId : int {
    kIdFileNew = 57600,
    kIdFileOpen = 57601,
    kIdFileSave = 57603,
    kIdFileSaveAs = 57604,
    kIdFileMruFirst = 57616, // recent files 57616..57619
    kIdAppExit = 57665,
    kIdEditUndo = 57643,
    kIdEditCut = 57635,
    kIdEditCopy = 57634,
    kIdEditPaste = 57637,
    kIdEditSelectAll = 32772,
    kIdNextPane = 57680,
    kIdPrevPane = 57681,
    kIdPatch = 32775,
    kIdCrossfaderLink = 32783,
    kIdHookA = 32792,
    kIdHookB = 32793,
    kIdHookSub = 32794,
    kIdHookNone = 32799,
    kIdMatchA = 32795,
    kIdMatchB = 32796,
    kIdMatchSub = 32797,
    kIdGo = 32800,
    kIdFadeTime = 32801,
    kIdSurfaces = 32802,
    kIdCut = 32803,
    kIdFlashSolo = 32810,
    kIdCueList = 32811,
    kIdChases = 32813,
    kIdBlackout = 32812,
    kIdCuePlayback = 32820,
    kIdCueBack = 32821,
    kIdCueGoto = 32822,
    kIdCueBackTime = 32823,
    kIdLock = 32830,
    kIdTakeStage = 32840,
    kIdGiveStage = 32841,
    // Printing and exchanging a show.
    kIdPrint = 32850,
    kIdExportPdf = 32851,
    kIdExportCuesCsv = 32852,
    kIdExportPatchCsv = 32853,
    kIdExportSubMastersCsv = 32854,
    kIdExportAscii = 32855,
    kIdImportCuesCsv = 32856,
    kIdImportAscii = 32857,
    kIdAppAbout = 57664,
};

inline constexpr int kRecentFileCount = 4;

/// The application's title (string 57344), the caption of its message boxes.
inline const QString kAppTitle = QStringLiteral("OrinSUB");
/// The name a show has before it is saved (the framework's untitled name).
inline const QString kUntitledName = QStringLiteral("無題");
inline const QString kShowFileFilter = QStringLiteral("Orin Files (*.orin)");
inline const QString kShowFileSuffix = QStringLiteral("orin");
/// The question before a modified show is left: %1 is the show's name.
inline const QString kAskToSave = QStringLiteral("%1 への変更を保存しますか?");
/// The question before the window closes while the desk sends light.
inline const QString kAskToCloseWhileOutput =
    QStringLiteral("出力中です。終了すると出力が止まります。終了しますか?");
inline const QString kStayOpen = QStringLiteral("キャンセル");
inline const QString kCloseAnyway = QStringLiteral("終了する(&Q)");

// Recovery copy.
/// The question at start when a console ended without a normal close: %1 the show's name, %2
/// when its copy was made, %3 where the copy goes when the operator declines.
inline const QString kAskToRestore =
    QStringLiteral("%1 は保存されないまま終了しました。\n"
                   "%2 の時点の内容を復元しますか?\n\n"
                   "キャンセルすると、その内容は次のファイルに残します:\n%3");
/// The same when the desk's live state was left too: %1 the show's name, %2 when its copy was
/// made, %3 when the desk was last kept, %4 where the copy goes when the operator starts afresh.
/// The stage stays as it was while the question waits.
inline const QString kAskToRestoreWithDesk =
    QStringLiteral("%1 は保存されないまま終了しました。\n"
                   "%2 の時点の内容と、%3 の時点の卓をそのまま続けますか?"
                   "(出力はその時点のまま保っています)\n\n"
                   "すべて 0 から始めると、その内容は次のファイルに残し、フェーダーはすべて 0 から"
                   "始めます:\n%4");
/// The question at start when only the desk's live state was left: %1 when it was kept.
inline const QString kAskToRestoreDesk =
    QStringLiteral("卓は正しく閉じられないまま終了しました。\n"
                   "%1 の時点の卓をそのまま続けますか?(出力はその時点のまま保っています)\n\n"
                   "すべて 0 から始めると、フェーダーはすべて 0 から始め、出力も 0 になります。");
/// Its two answers: the first keeps the desk and is the default.
inline const QString kKeepDesk = QStringLiteral("このまま続ける");
inline const QString kResetDesk = QStringLiteral("すべて 0 から始める(&Z)");
/// A left live state that cannot be used: %1 its file, %2 why.
inline const QString kDeskNotRestored = QStringLiteral(
    "前回の卓の状態を復元できません: %1 は%2。\nフェーダーはすべて 0 から始めます。");
inline const QString kDeskUnreadable = QStringLiteral("読み込めません");
inline const QString kRestoreTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
/// A left copy that could not be set aside stays where it is: %1 the copy.
inline const QString kRecoveryNotSetAside =
    QStringLiteral("復元用のファイルを移せません: %1\n"
                   "このファイルを残すため、今回は作業内容を自動では保管しません。");
inline const QString kRecoveryFolderFailed =
    QStringLiteral("復元用のフォルダーを作れません: %1\n作業内容は自動では保管されません。");
inline const QString kRecoverySlotsBusy =
    QStringLiteral("復元用のフォルダーが他の OrinSUB で使用中です: %1\n"
                   "作業内容は自動では保管されません。");

// A start while a console of the same settings folder runs (one line on the terminal): %1 the
// running console's process id, %2 the show; the options as typed.
inline const QString kShowHandedOver =
    QStringLiteral("orinsub: ショーは動いているコンソール (プロセス %1) で開きます: %2");
inline const QString kConsoleBroughtForward = QStringLiteral(
    "orinsub: コンソールはもう動いています (プロセス %1)。そのウィンドウを前に出しました");
inline const QString kOptionsForRunningConsole =
    QStringLiteral("orinsub: 同じ設定フォルダーのコンソールがもう動いているため終わります "
                   "(%1 は動いているコンソールには渡せません)");
inline const QString kRunningConsoleSilent =
    QStringLiteral("orinsub: 同じ設定フォルダーのコンソールが動いていますが、応答しません");

// Settings store: organisation and application, the recent-file list's group and keys.
inline const QString kSettingsOrganization = QStringLiteral("OrinSUB");
inline const QString kSettingsApplication = QStringLiteral("OrinSUB");
inline const QString kRecentFileGroup = QStringLiteral("Recent File List");
inline const QString kRecentFileKey = QStringLiteral("File%1");

// Menu titles.
inline const QString kMenuFile = QStringLiteral("ファイル(&F)");
inline const QString kMenuEdit = QStringLiteral("編集(&E)");
inline const QString kMenuOperation = QStringLiteral("操作(&T)");
inline const QString kMenuHelp = QStringLiteral("ヘルプ(&H)");
/// Stands in the File menu, greyed, while the recent-file list is empty.
inline const QString kRecentFilePlaceholder = QStringLiteral("最近使ったファイル");

// The timed crossfade: its menu items and its fade-time dialog.
inline const QString kGoItem = QStringLiteral("GO(&G)");
inline const QString kCutItem = QStringLiteral("カット(&X)");
inline const QString kFadeTimeItem = QStringLiteral("フェード時間(&F)...");
/// Checked while blackout holds the stage dark; the key switches it at once.
inline const QString kBlackoutItem = QStringLiteral("ブラックアウト(&B)");
/// Checked while the flash buttons solo their sub-master instead of adding it.
inline const QString kFlashSoloItem = QStringLiteral("フラッシュボタンをソロにする(&O)");
inline const QString kFadeTimeTitle = QStringLiteral("フェード時間");
inline const QString kFadeTimeLabel =
    QStringLiteral("GO でクロスフェーダーが動く時間 (0 でカット):");
inline const QString kTimeFormsHint =
    QStringLiteral("秒（90、2.5）か分:秒（1:30、1:30.5）で、59:59.9 まで");

// The cue window.
inline const QString kCueListItem = QStringLiteral("キューリスト(&L)...");
inline const QString kCueWindowTitle = QStringLiteral("キューリスト");

// The chase window.
inline const QString kChaseItem = QStringLiteral("チェイス(&E)...");
inline const QString kChaseWindowTitle = QStringLiteral("チェイス");

// Playing the cue list through the crossfader: the switch, BACK, GOTO and their settings.
inline const QString kCuePlaybackItem = QStringLiteral("キュー再生(&Q)");
inline const QString kCueBackItem = QStringLiteral("戻る(&B)");
inline const QString kCueGotoItem = QStringLiteral("キューへ移動(&J)...");
inline const QString kCueGotoTitle = QStringLiteral("キューへ移動");
inline const QString kCueGotoLabel = QStringLiteral("キュー番号:");
inline const QString kCueBackTimeItem = QStringLiteral("戻る時間(&K)...");

/// A tracking backup takes the stage now (greyed on a console that plays it, or of no pair).
inline const QString kTakeStageItem = QStringLiteral("本番を引き継ぐ(&T)...");
/// A live console of a pair hands the stage to the console that tracks it.
inline const QString kGiveStageItem = QStringLiteral("本番を渡す(&H)...");

// The desk lock.
inline const QString kLockItem = QStringLiteral("操作ロック(&R)");
inline const QString kLockItemCaption = QStringLiteral("操作ロック");
inline const QString kUnlockCodeQuestion =
    QStringLiteral("ロックを解除するコードを入力してください。");
inline const QString kWrongUnlockCode =
    QStringLiteral("コードが違います。ロックは解除されません。");
/// A show that would replace the one on a locked desk.
inline const QString kLockedShowRefused =
    QStringLiteral("卓はロック中です。ショーを開くには、ロックを解除してください。");
inline const QString kFollowingShowRefused =
    QStringLiteral("この卓は本番機に追従しています。ショーは本番機のものを使います。");
inline const QString kCueBackTimeTitle = QStringLiteral("戻る時間");
inline const QString kCueBackTimeLabel =
    QStringLiteral("戻るでクロスフェーダーが動く時間 (0 でカット):");
inline const QString kCueSettingsGroup = QStringLiteral("Cues");
inline const QString kCueBackTimeKey = QStringLiteral("BackTime"); // tenths of a second

// Printing and exchanging a show: the File menu's items, the sheets dialog, the files, what an
// import asks and reports.
inline const QString kPrintItem = QStringLiteral("印刷(&P)...");
inline const QString kExportPdfItem = QStringLiteral("PDF に書き出す(&D)...");
inline const QString kExportMenu = QStringLiteral("書き出し(&E)");
inline const QString kImportMenu = QStringLiteral("読み込み(&I)");
inline const QString kCuesCsvItem = QStringLiteral("キューリスト (CSV)(&C)...");
inline const QString kPatchCsvItem = QStringLiteral("パッチ (CSV)(&P)...");
inline const QString kSubMastersCsvItem = QStringLiteral("サブマスター (CSV)(&S)...");
inline const QString kAsciiItem = QStringLiteral("キューとパッチ (USITT ASCII)(&U)...");
inline const QString kPrintTitle = QStringLiteral("印刷");
inline const QString kExportPdfTitle = QStringLiteral("PDF に書き出す");
inline const QString kSheetsGroup = QStringLiteral("シート");
inline const QString kOrientationGroup = QStringLiteral("用紙の向き (A4)");
inline const QString kPortrait = QStringLiteral("縦(&V)");
inline const QString kLandscape = QStringLiteral("横(&H)");
inline const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");
inline const QString kCsvFilter = QStringLiteral("CSV (*.csv)");
inline const QString kAsciiFilter = QStringLiteral("USITT ASCII (*.asc *.txt)");
/// The names an export suggests: %1 the show's name.
inline const QString kPdfName = QStringLiteral("%1.pdf");
inline const QString kCuesCsvName = QStringLiteral("%1 キューリスト.csv");
inline const QString kPatchCsvName = QStringLiteral("%1 パッチ.csv");
inline const QString kSubMastersCsvName = QStringLiteral("%1 サブマスター.csv");
inline const QString kAsciiName = QStringLiteral("%1.asc");
inline const QString kPdfNotMade = QStringLiteral("PDF を作れません。");
inline const QString kPrintFailed =
    QStringLiteral("印刷できません。プリンターの設定を確かめてください。");
inline const QString kImportCaption = QStringLiteral("読み込み");
inline const QString kLockedImportRefused =
    QStringLiteral("卓はロック中です。読み込むには、ロックを解除してください。");
/// A file an import refuses, in one line: %1 the file's name, %2 why.
inline const QString kImportRefused = QStringLiteral("%1 は読み込めません: %2");
/// Before an import replaces what the show holds: %1 the file's name, %2 its cues, %3 the
/// show's cues now, %4 the dimmers the file patches.
inline const QString kAskReplaceCues =
    QStringLiteral("キューリストを %1 のキュー %2 個で置き換えます。\n"
                   "今のキュー %3 個はなくなります。置き換えますか?");
inline const QString kAskReplaceCuesAndPatch = QStringLiteral(
    "キューリストとパッチを %1 のキュー %2 個と調光器 %4 個のパッチで置き換えます。\n"
    "今のキュー %3 個とパッチはなくなり、出力は新しいパッチで送ります。"
    "置き換えますか?");
inline const QString kKeepShow = QStringLiteral("ショーをそのままにする");
inline const QString kReplaceShow = QStringLiteral("置き換える(&R)");
/// What an import did: %1 the cues, %2 the dimmers patched.
inline const QString kImportedCues = QStringLiteral("キュー %1 個を読み込みました。");
inline const QString kImportedCuesAndPatch =
    QStringLiteral("キュー %1 個と調光器 %2 個のパッチを読み込みました。");
inline const QString kLeftOutHead = QStringLiteral("\n\n読み込まなかったもの:");
inline const QString kLeftOutItem = QStringLiteral("\n・%1");

// About box (dialog 100) and version resource.
inline const QString kAboutTitle = QStringLiteral("バージョン情報 OrinSUB");
inline const QString kAboutClose = QStringLiteral("閉じる");
inline const QString kFileDescription = QStringLiteral("Orin SUB サブマスター卓 for Zentra");
inline const QString kProductName = QStringLiteral("Orin SUB");
inline const QString kVersion = QStringLiteral(ORINSUB_VERSION);

} // namespace orinsub::app

namespace orinsub::app::layout {

// The main window's fixed layout, in pixels.
inline constexpr int kFrameX = 2;
inline constexpr int kFrameY = 2;
inline constexpr int kFrameWidth = 1270;
inline constexpr int kFrameHeight = 768;
inline constexpr int kLampWidth = 28;
inline constexpr int kPresetWidth = 1192;
inline constexpr int kMasterRowHeight = 290; // ideal; the master pane gets what is left
inline constexpr int kRowMinimum = 100;
inline constexpr int kDisplayRefreshMs = 100;

} // namespace orinsub::app::layout

namespace orinsub::app::drag {

// Section drag-and-copy: the labels its confirmations join, and the colours of its pictures.
inline const QString kRowALabel = QStringLiteral("A段");
inline const QString kRowBLabel = QStringLiteral("B段");
inline const QString kOutputLabel = QStringLiteral("出力レベル");
/// Page and sub-master number; the label ends in a space.
inline const QString kSubMasterLabel = QStringLiteral("サブマスター [PAGE %1 - No.%2] ");
inline const QString kCopyFrom = QStringLiteral("から");
inline const QString kCopyCaptionEnd = QStringLiteral("へレベルをコピー");
inline const QString kCopyTextEnd = QStringLiteral("へレベルをコピーします\nよろしいですか？");

// Every drag picture is drawn on the panes' background (kPaneBackground), which then turns
// transparent.
inline const QColor kSmallImageSourceBars(63, 255, 63);
inline const QColor kPreviewTargetBars(255, 255, 63);
inline const QColor kPreviewSourceBars(255, 127, 127);
inline constexpr int kSmallImageBarWidth = 3;
inline constexpr int kPreviewBarWidth = 5;

} // namespace orinsub::app::drag

namespace orinsub::app::cuewindow {

// The cue window: its columns, controls, question and colours.
inline const QString kNumberColumn = QStringLiteral("番号");
inline const QString kLabelColumn = QStringLiteral("ラベル");
inline const QString kUpColumn = QStringLiteral("アップ");
inline const QString kDownColumn = QStringLiteral("ダウン");
inline const QString kDelayColumn = QStringLiteral("ディレイ");
inline const QString kFollowColumn = QStringLiteral("フォロー");
inline const QString kSourceLabel = QStringLiteral("記録元(&S)");
inline const QString kSourceOutput = QStringLiteral("出力");
inline const QString kSourceSubMaster = QStringLiteral("サブマスター");
inline const QString kPageLabel = QStringLiteral("PAGE");
inline const QString kSubMasterNumberLabel = QStringLiteral("No.");
inline const QString kCueNumberLabel = QStringLiteral("キュー番号");
inline const QString kRecordButton = QStringLiteral("記録(&R)");
inline const QString kUpdateButton = QStringLiteral("更新(&U)");
inline const QString kInsertButton = QStringLiteral("挿入(&I)");
inline const QString kDeleteButton = QStringLiteral("削除(&D)");
inline const QString kRenumberButton = QStringLiteral("番号を振り直す(&N)...");
inline const QString kUndoButton = QStringLiteral("元に戻す(&Z)");
inline const QString kRenumberQuestion =
    QStringLiteral("キュー番号を 1, 2, 3… と順に振り直します。\nよろしいですか？");
inline const QString kRenumberCaption = QStringLiteral("番号を振り直す");
/// Recording under a number that is taken: %1 the number.
inline const QString kUpdateExistingQuestion =
    QStringLiteral("キュー %1 はすでにあります。\n記録元のレベルでキュー %1 を更新しますか?");

inline const QColor kTextColour(255, 255, 255);
inline const QColor kListBackground(0, 0, 0);
inline const QColor kListAlternate(31, 31, 31);
inline const QColor kListText(191, 191, 191);
inline const QColor kSelection(0, 127, 0); // the groove of a sub-master that holds levels
inline const QColor kButton(95, 95, 95);
inline const QColor kOnStage(127, 0, 0);     // the cue on stage: the red of a row on air
inline const QColor kNextCue(192, 255, 192); // the cue GO plays next: as the readout shows it
inline constexpr int kWindowWidth = 720;
inline constexpr int kWindowHeight = 520;
inline constexpr int kMinimumHeight = 240;
inline constexpr int kTimeColumnWidth = 72;
inline constexpr int kRowPadding = 6;  // pixels above and below a row's text
inline constexpr int kPointSize = 100; // tenths of a point

// The selected cue's levels beside the list, edited blind.
inline const QString kChannelColumn = QStringLiteral("CH");
inline const QString kNameColumn = QStringLiteral("名前");
inline const QString kLevelColumn = QStringLiteral("レベル");
inline const QString kBeforeColumn = QStringLiteral("前のキュー");
inline const QString kLevelTyping =
    QStringLiteral("レベルは 0 から 100 (%) か FF で入力してください。");
inline const QColor kChangedLevel{120, 80, 0}; // differs from the cue before

} // namespace orinsub::app::cuewindow

namespace orinsub::app::chasewindow {

// The chase window: the list's columns and their words, the steps, the running chases' strip.
inline const QString kNumberColumn = QStringLiteral("番号");
inline const QString kNameColumn = QStringLiteral("名前");
inline const QString kStepsColumn = QStringLiteral("ステップ");
inline const QString kBpmColumn = QStringLiteral("BPM");
inline const QString kStepTimeColumn = QStringLiteral("時間 (秒)");
inline const QString kCrossfadeColumn = QStringLiteral("クロスフェード %");
inline const QString kDirectionColumn = QStringLiteral("方向");
inline const QString kRaiseColumn = QStringLiteral("上げたとき");
inline const QString kPlaceColumn = QStringLiteral("割り付け");
/// The directions in ChaseDirection's order.
inline const QString kDirections[] = {QStringLiteral("順方向"), QStringLiteral("逆方向"),
                                      QStringLiteral("往復"), QStringLiteral("ランダム")};
inline const QString kRestart = QStringLiteral("最初から");
inline const QString kCarryOn = QStringLiteral("続きから");
/// Where a chase is put: %1 the page, %2 the sub-master's number.
inline const QString kPlaceText = QStringLiteral("%1-%2");
/// A step as the list shows it: its number, then the channels above 0 ("1:FF 2:50").
inline const QString kStepColumn = QStringLiteral("ステップ");
inline const QString kLookColumn = QStringLiteral("レベル (チャンネル:%)");
inline const QString kDarkStep = QStringLiteral("(すべて 0)");
inline constexpr int kShownChannels = 24; // a step shows its first 24 lit channels, then "…"

inline const QString kNewButton = QStringLiteral("新規(&N)");
/// 新規 while every number 1..99 has a chase.
inline const QString kListFull =
    QStringLiteral("チェイスは 99 個までです。チェイスを削除してから作ってください。");
inline const QString kRemoveButton = QStringLiteral("チェイスを削除(&X)");
inline const QString kUndoButton = QStringLiteral("元に戻す(&Z)");
inline const QString kRecordButton = QStringLiteral("記録(&R)");
inline const QString kInsertButton = QStringLiteral("挿入(&I)");
inline const QString kUpdateButton = QStringLiteral("更新(&U)");
inline const QString kDeleteButton = QStringLiteral("削除(&D)");
inline const QString kUpButton = QStringLiteral("上へ(&K)");
inline const QString kDownButton = QStringLiteral("下へ(&J)");
inline const QString kStepsCaption = QStringLiteral("ステップ: チェイス %1"); // %1 its number

// The running chases: one group each with its speed and step.
inline const QString kRunningCaption = QStringLiteral("再生中のチェイス");
inline const QString kNothingRunning =
    QStringLiteral("再生中のチェイスはありません (割り付けたサブマスターを上げると再生します)");
inline const QString kRunningTitle = QStringLiteral("チェイス %1  %2"); // number, name
inline const QString kBpmText = QStringLiteral("%1 BPM");
inline const QString kStepText = QStringLiteral("ステップ %1 / %2");
inline const QString kTapButton = QStringLiteral("TAP");
inline const QString kNextStepButton = QStringLiteral("▶|");
inline const QString kNextStepTip = QStringLiteral("次のステップへ");
inline const QString kWheelTip =
    QStringLiteral("速度: ホイールで 1 BPM (Shift で 10 BPM)、上下にドラッグで変えます");

inline constexpr int kWindowWidth = 820;
inline constexpr int kWindowHeight = 600;
inline constexpr int kWheelWidth = 36;
inline constexpr int kWheelHeight = 64;
inline constexpr int kWheelDragPixels = 4; // a drag of this many pixels is one BPM
inline const QColor kWheelBody(47, 47, 47);
inline const QColor kWheelRidge(127, 127, 127);
inline const QColor kTapLit(0, 127, 0); // a TAP lit on the beat: the green of a groove

} // namespace orinsub::app::chasewindow
