#include "MainMenu.h"

#include "AppResources.h"
#include "SurfaceTexts.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace orinsub::app {

namespace {

using Keys = QList<QKeySequence>;

// Window: an accelerator without an item. Export and Import: the File menu's submenus.
enum class In { File, Export, Import, Edit, Operation, Help, Window };

enum Flag : unsigned {
    kPlain = 0,
    kCheckable = 1,
    kEverywhere = 2, // from every window of the console, the patch window included
    kOncePerPress = 4,
    kGreyed = 8, // until what it plays is there
};

/// One command: where it stands, its text, and its keys; the first key is the one the item shows
/// after a tab. shown: a key the console handles itself (F1 ignores auto-repeat), shown but not
/// bound.
struct Item
{
    In menu;
    int id; // 0: a separator
    QString text;
    Keys keys;
    unsigned flags = kPlain;
    QKeySequence shown = {};
};

/// A submenu: the place its items name, the menu it stands in and its title. It stands where its
/// first item comes in the table.
struct Submenu
{
    In opens;
    In menu;
    QString title;
};

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier, Alt = Qt::AltModifier,
                                Shift = Qt::ShiftModifier;

// GO and cut reach the desk from every window, a name box included, and a held key acts once;
// Space is GO too, as the console's own key. Blackout too: darkening the stage must not wait for
// the focus to move. Shift skips the match commands' question, so they answer with and without it.
const Item kItems[] = {
    {In::File, kIdFileNew, QStringLiteral("新規作成(&N)"), {Ctrl | Qt::Key_N}},
    {In::File, kIdFileOpen, QStringLiteral("開く(&O)..."), {Ctrl | Qt::Key_O}},
    {In::File, kIdFileSave, QStringLiteral("上書き保存(&S)"), {Ctrl | Qt::Key_S}},
    {In::File, kIdFileSaveAs, QStringLiteral("名前を付けて保存(&A)..."), {}},
    {In::File, 0, {}, {}},
    {In::Export, kIdExportCuesCsv, kCuesCsvItem, {}},
    {In::Export, kIdExportPatchCsv, kPatchCsvItem, {}},
    {In::Export, kIdExportSubMastersCsv, kSubMastersCsvItem, {}},
    {In::Export, 0, {}, {}},
    {In::Export, kIdExportAscii, kAsciiItem, {}},
    {In::Import, kIdImportCuesCsv, kCuesCsvItem, {}},
    {In::Import, kIdImportAscii, kAsciiItem, {}},
    {In::File, 0, {}, {}},
    {In::File, kIdPrint, kPrintItem, {Ctrl | Qt::Key_P}},
    {In::File, kIdExportPdf, kExportPdfItem, {}},
    {In::File, 0, {}, {}},
    {In::File, kIdFileMruFirst, kRecentFilePlaceholder, {}, kGreyed},
    {In::File, 0, {}, {}},
    {In::File, kIdAppExit, QStringLiteral("アプリケーションの終了(&X)"), {}},

    {In::Edit,
     kIdEditUndo,
     QStringLiteral("元に戻す(&U)"),
     {Ctrl | Qt::Key_Z, Alt | Qt::Key_Backspace}},
    {In::Edit, 0, {}, {}},
    {In::Edit,
     kIdEditCut,
     QStringLiteral("切り取り(&T)"),
     {Ctrl | Qt::Key_X, Shift | Qt::Key_Delete}},
    {In::Edit,
     kIdEditCopy,
     QStringLiteral("コピー(&C)"),
     {Ctrl | Qt::Key_C, Ctrl | Qt::Key_Insert}},
    {In::Edit,
     kIdEditPaste,
     QStringLiteral("貼り付け(&P)"),
     {Ctrl | Qt::Key_V, Shift | Qt::Key_Insert}},
    {In::Edit, 0, {}, {}},
    {In::Edit, kIdEditSelectAll, QStringLiteral("すべて選択(&A)"), {Ctrl | Qt::Key_A}},

    {In::Operation, kIdPatch, QStringLiteral("パッチ(&P)..."), {QKeySequence(Qt::Key_F11)}},
    {In::Operation, kIdCueList, kCueListItem, {QKeySequence(Qt::Key_F9)}, kEverywhere},
    {In::Operation, kIdChases, kChaseItem, {QKeySequence(Qt::Key_F8)}, kEverywhere},
    {In::Operation, 0, {}, {}},
    {In::Operation,
     kIdCrossfaderLink,
     QStringLiteral("クロスフェーダーを連結(&C)"),
     {},
     kCheckable,
     QKeySequence(Qt::Key_F1)},
    {In::Operation, kIdFlashSolo, kFlashSoloItem, {}, kCheckable},
    {In::Operation, kIdGo, kGoItem, {QKeySequence(Qt::Key_F12)}, kEverywhere | kOncePerPress},
    {In::Operation, kIdCut, kCutItem, {Shift | Qt::Key_F12}, kEverywhere | kOncePerPress},
    {In::Operation, kIdFadeTime, kFadeTimeItem, {}},
    {In::Operation,
     kIdBlackout,
     kBlackoutItem,
     {Ctrl | Qt::Key_B},
     kCheckable | kEverywhere | kOncePerPress},
    {In::Operation, kIdCuePlayback, kCuePlaybackItem, {}, kCheckable},
    {In::Operation,
     kIdCueBack,
     kCueBackItem,
     {Ctrl | Qt::Key_F12},
     kEverywhere | kOncePerPress | kGreyed},
    {In::Operation,
     kIdCueGoto,
     kCueGotoItem,
     {Ctrl | Qt::Key_G},
     kEverywhere | kOncePerPress | kGreyed},
    {In::Operation, kIdCueBackTime, kCueBackTimeItem, {}},
    {In::Operation, kIdLock, kLockItem, {Ctrl | Qt::Key_L}, kCheckable},
    {In::Operation, kIdTakeStage, kTakeStageItem, {}, kGreyed},
    {In::Operation, kIdGiveStage, kGiveStageItem, {}, kGreyed},
    {In::Operation, kIdSurfaces, kSurfacesMenuItem, {}},
    {In::Operation, 0, {}, {}},
    {In::Operation, kIdHookA, QStringLiteral("入力引っかけ:A段"), {Ctrl | Qt::Key_1}},
    {In::Operation, kIdHookB, QStringLiteral("入力引っかけ:B段"), {Ctrl | Qt::Key_2}},
    {In::Operation, kIdHookSub, QStringLiteral("入力引っかけ:サブマスター"), {Ctrl | Qt::Key_3}},
    {In::Operation, kIdHookNone, QStringLiteral("入力引っかけを解除"), {Ctrl | Qt::Key_4}},
    {In::Operation, 0, {}, {}},
    {In::Operation,
     kIdMatchA,
     QStringLiteral("入力値に合わせる:A段"),
     {Ctrl | Alt | Qt::Key_1, Ctrl | Alt | Shift | Qt::Key_1}},
    {In::Operation,
     kIdMatchB,
     QStringLiteral("入力値に合わせる:B段"),
     {Ctrl | Alt | Qt::Key_2, Ctrl | Alt | Shift | Qt::Key_2}},
    {In::Operation,
     kIdMatchSub,
     QStringLiteral("入力値に合わせる:サブマスター"),
     {Ctrl | Alt | Qt::Key_3, Ctrl | Alt | Shift | Qt::Key_3}},

    {In::Help, kIdAppAbout, QStringLiteral("バージョン情報 OrinSUB(&A)..."), {}},

    {In::Window, kIdNextPane, {}, {QKeySequence(Qt::Key_F6)}},
    {In::Window, kIdPrevPane, {}, {Shift | Qt::Key_F6}},
};

const Submenu kSubmenus[] = {
    {In::Export, In::File, kExportMenu},
    {In::Import, In::File, kImportMenu},
};

/// The item's text, with the key it shows after a tab.
QString ItemText(const Item &item)
{
    const QKeySequence shown = item.keys.isEmpty() ? item.shown : item.keys.first();
    return shown.isEmpty() ? item.text
                           : item.text + u'\t' + shown.toString(QKeySequence::PortableText);
}

} // namespace

MainMenu::MainMenu(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();
    bar->setNativeMenuBar(false); // the window's layout is fixed; its menu stays in it
    m_fileMenu = bar->addMenu(kMenuFile);
    std::map<In, QMenu *> menus = {{In::File, m_fileMenu},
                                   {In::Edit, bar->addMenu(kMenuEdit)},
                                   {In::Operation, bar->addMenu(kMenuOperation)},
                                   {In::Help, bar->addMenu(kMenuHelp)}};
    const auto menuOf = [&menus](In in) {
        if (!menus.contains(in)) {
            for (const Submenu &submenu : kSubmenus) {
                if (submenu.opens == in)
                    menus[in] = menus.at(submenu.menu)->addMenu(submenu.title);
            }
        }
        return menus.at(in);
    };
    for (const Item &item : kItems) {
        if (item.id == 0) {
            menuOf(item.menu)->addSeparator();
            continue;
        }
        QAction *action = item.menu == In::Window ? new QAction(&window)
                                                  : menuOf(item.menu)->addAction(ItemText(item));
        if (item.menu == In::Window)
            window.addAction(action);
        action->setShortcuts(item.keys);
        action->setCheckable(item.flags & kCheckable);
        action->setEnabled(!(item.flags & kGreyed));
        if (item.flags & kEverywhere)
            action->setShortcutContext(Qt::ApplicationShortcut);
        if (item.flags & kOncePerPress)
            action->setAutoRepeat(false);
        if (item.id == kIdFileMruFirst)
            m_recentPlaceholder = action; // stands for the list, not a command of its own
        else
            m_commands[item.id] = action;
    }
}

QAction *MainMenu::Command(int id) const
{
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : found->second;
}

} // namespace orinsub::app
