#include "MainMenu.h"

#include "AppResources.h"
#include "SurfaceTexts.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <tuple>

namespace orinsub::app {

namespace {

using Keys = QList<QKeySequence>;

// The main accelerator table, by command; the first key of each is the one the menu shows.
Keys AcceleratorsOf(int id)
{
    constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier, Alt = Qt::AltModifier,
                                    Shift = Qt::ShiftModifier;
    switch (id) {
    case kIdEditCopy:
        return {Ctrl | Qt::Key_C, Ctrl | Qt::Key_Insert};
    case kIdEditCut:
        return {Ctrl | Qt::Key_X, Shift | Qt::Key_Delete};
    case kIdEditPaste:
        return {Ctrl | Qt::Key_V, Shift | Qt::Key_Insert};
    case kIdEditUndo:
        return {Ctrl | Qt::Key_Z, Alt | Qt::Key_Backspace};
    case kIdFileNew:
        return {Ctrl | Qt::Key_N};
    case kIdFileOpen:
        return {Ctrl | Qt::Key_O};
    case kIdFileSave:
        return {Ctrl | Qt::Key_S};
    case kIdNextPane:
        return {QKeySequence(Qt::Key_F6)};
    case kIdPrevPane:
        return {Shift | Qt::Key_F6};
    case kIdEditSelectAll:
        return {Ctrl | Qt::Key_A};
    case kIdPatch:
        return {QKeySequence(Qt::Key_F11)};
    case kIdHookA:
        return {Ctrl | Qt::Key_1};
    case kIdHookB:
        return {Ctrl | Qt::Key_2};
    case kIdHookSub:
        return {Ctrl | Qt::Key_3};
    case kIdHookNone:
        return {Ctrl | Qt::Key_4};
    // Shift skips the match commands' question, so they answer with and without it.
    case kIdMatchA:
        return {Ctrl | Alt | Qt::Key_1, Ctrl | Alt | Shift | Qt::Key_1};
    case kIdMatchB:
        return {Ctrl | Alt | Qt::Key_2, Ctrl | Alt | Shift | Qt::Key_2};
    case kIdMatchSub:
        return {Ctrl | Alt | Qt::Key_3, Ctrl | Alt | Shift | Qt::Key_3};
    case kIdGo:
        return {QKeySequence(Qt::Key_F12)};
    case kIdCut:
        return {Shift | Qt::Key_F12};
    case kIdBlackout:
        return {Ctrl | Qt::Key_B};
    case kIdCueBack:
        return {Ctrl | Qt::Key_F12};
    case kIdCueGoto:
        return {Ctrl | Qt::Key_G};
    case kIdLock:
        return {Ctrl | Qt::Key_L};
    case kIdCueList:
        return {QKeySequence(Qt::Key_F9)};
    default:
        return {};
    }
}

} // namespace

MainMenu::MainMenu(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();
    bar->setNativeMenuBar(false); // the window's layout is fixed; its menu stays in it

    m_fileMenu = bar->addMenu(kMenuFile);
    Add(m_fileMenu, kIdFileNew, QStringLiteral("新規作成(&N)"), QStringLiteral("Ctrl+N"));
    Add(m_fileMenu, kIdFileOpen, QStringLiteral("開く(&O)..."), QStringLiteral("Ctrl+O"));
    Add(m_fileMenu, kIdFileSave, QStringLiteral("上書き保存(&S)"), QStringLiteral("Ctrl+S"));
    Add(m_fileMenu, kIdFileSaveAs, QStringLiteral("名前を付けて保存(&A)..."));
    m_fileMenu->addSeparator();
    m_recentPlaceholder = m_fileMenu->addAction(kRecentFilePlaceholder);
    m_recentPlaceholder->setEnabled(false);
    m_fileMenu->addSeparator();
    Add(m_fileMenu, kIdAppExit, QStringLiteral("アプリケーションの終了(&X)"));

    QMenu *edit = bar->addMenu(kMenuEdit);
    Add(edit, kIdEditUndo, QStringLiteral("元に戻す(&U)"), QStringLiteral("Ctrl+Z"));
    edit->addSeparator();
    Add(edit, kIdEditCut, QStringLiteral("切り取り(&T)"), QStringLiteral("Ctrl+X"));
    Add(edit, kIdEditCopy, QStringLiteral("コピー(&C)"), QStringLiteral("Ctrl+C"));
    Add(edit, kIdEditPaste, QStringLiteral("貼り付け(&P)"), QStringLiteral("Ctrl+V"));
    edit->addSeparator();
    Add(edit, kIdEditSelectAll, QStringLiteral("すべて選択(&A)"), QStringLiteral("Ctrl+A"));

    QMenu *operation = bar->addMenu(kMenuOperation);
    Add(operation, kIdPatch, QStringLiteral("パッチ(&P)..."), QStringLiteral("F11"));
    // From every window, the patch window included.
    Add(operation, kIdCueList, kCueListItem, cuewindow::kCueListKeyShown)
        ->setShortcutContext(Qt::ApplicationShortcut);
    operation->addSeparator();
    // F1 is the console's own key (it ignores auto-repeat), not an accelerator.
    Add(operation, kIdCrossfaderLink, QStringLiteral("クロスフェーダーを連結(&C)"),
        QStringLiteral("F1"))
        ->setCheckable(true);
    Add(operation, kIdFlashSolo, kFlashSoloItem)->setCheckable(true);
    // GO and cut reach the desk from every window of the console, a name box or the patch
    // window in front included, and a held key acts once. Space is GO too, as the console's own
    // key (like F1), where it types no text.
    for (const auto &[id, item, shown] :
         {std::tuple{kIdGo, kGoItem, kGoKeyShown}, {kIdCut, kCutItem, kCutKeyShown}}) {
        QAction *action = Add(operation, id, item, shown);
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setAutoRepeat(false);
    }
    Add(operation, kIdFadeTime, kFadeTimeItem);
    // From every window too: darkening the stage must not wait for the focus to move.
    QAction *blackout = Add(operation, kIdBlackout, kBlackoutItem, kBlackoutKeyShown);
    blackout->setCheckable(true);
    blackout->setShortcutContext(Qt::ApplicationShortcut);
    blackout->setAutoRepeat(false);
    Add(operation, kIdCuePlayback, kCuePlaybackItem)->setCheckable(true);
    for (const auto &[id, item, shown] : {std::tuple{kIdCueBack, kCueBackItem, kCueBackKeyShown},
                                          {kIdCueGoto, kCueGotoItem, kCueGotoKeyShown}}) {
        QAction *action = Add(operation, id, item, shown);
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setAutoRepeat(false);
        action->setEnabled(false); // until the cue list has the crossfader
    }
    Add(operation, kIdCueBackTime, kCueBackTimeItem);
    Add(operation, kIdLock, kLockItem, kLockKeyShown)->setCheckable(true);
    Add(operation, kIdSurfaces, kSurfacesMenuItem);
    operation->addSeparator();
    Add(operation, kIdHookA, QStringLiteral("入力引っかけ:A段"), QStringLiteral("Ctrl+1"));
    Add(operation, kIdHookB, QStringLiteral("入力引っかけ:B段"), QStringLiteral("Ctrl+2"));
    Add(operation, kIdHookSub, QStringLiteral("入力引っかけ:サブマスター"),
        QStringLiteral("Ctrl+3"));
    Add(operation, kIdHookNone, QStringLiteral("入力引っかけを解除"), QStringLiteral("Ctrl+4"));
    operation->addSeparator();
    Add(operation, kIdMatchA, QStringLiteral("入力値に合わせる:A段"), QStringLiteral("Ctrl+Alt+1"));
    Add(operation, kIdMatchB, QStringLiteral("入力値に合わせる:B段"), QStringLiteral("Ctrl+Alt+2"));
    Add(operation, kIdMatchSub, QStringLiteral("入力値に合わせる:サブマスター"),
        QStringLiteral("Ctrl+Alt+3"));

    QMenu *help = bar->addMenu(kMenuHelp);
    Add(help, kIdAppAbout, QStringLiteral("バージョン情報 OrinSUB(&A)..."));

    for (int id : {kIdNextPane, kIdPrevPane}) {
        auto *pane = new QAction(&window);
        pane->setShortcuts(AcceleratorsOf(id));
        window.addAction(pane);
        m_commands[id] = pane;
    }
}

QAction *MainMenu::Add(QMenu *menu, int id, const QString &text, const QString &shown)
{
    QAction *action = menu->addAction(shown.isEmpty() ? text : text + u'\t' + shown);
    action->setShortcuts(AcceleratorsOf(id));
    m_commands[id] = action;
    return action;
}

QAction *MainMenu::Command(int id) const
{
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : found->second;
}

} // namespace orinsub::app
