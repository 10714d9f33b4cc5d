#include "DeskLockGuard.h"

#include "AppResources.h"
#include "controls/QuestionBox.h"
#include "model/SettingsReader.h"
#include "views/DeskLock.h"
#include "views/DeskWatch.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <algorithm>

namespace orinsub::app {

namespace {

const QString kUnlockCodeKey = QStringLiteral("lock/code");
// A code longer than anyone types is a damaged settings line, not a code.
constexpr int kLongestUnlockCode = 64;

QString UnlockCode()
{
    QSettings settings;
    return model::SettingsReader(settings).String(kUnlockCodeKey, kLongestUnlockCode);
}

// A desk that follows another console is closed to local hands as a locked one is, and more.
bool IsClosed()
{
    return views::IsDeskLocked() || views::IsDeskFollowing();
}

bool IsMouseInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

DeskLockGuard::DeskLockGuard(QAction *lock, std::vector<QWidget *> panes,
                             std::vector<QWidget *> names)
    : m_lock(lock), m_guarded(this), m_names(std::move(names))
{
    m_guarded.setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QWidget *pane : panes) {
        pane->installEventFilter(this);
        if (auto *area = qobject_cast<QAbstractScrollArea *>(pane))
            area->viewport()->installEventFilter(this);
    }
    connect(m_lock, &QAction::triggered, this, &DeskLockGuard::OnLockCommand);
    views::SetDeskListener(this, [this] { Apply(); });
    Apply();
}

// The lock is the window's: a window made afresh starts unlocked.
DeskLockGuard::~DeskLockGuard()
{
    views::RemoveDeskListener(this);
    views::SetDeskLocked(false);
}

void DeskLockGuard::Guard(QAction *command)
{
    m_guarded.addAction(command);
}

void DeskLockGuard::Guard(QWidget *window)
{
    if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end())
        m_windows.emplace_back(window);
    window->setEnabled(!IsClosed());
}

bool DeskLockGuard::eventFilter(QObject *watched, QEvent *event)
{
    // A pane's own mouse handling never sees the mouse of a locked desk.
    if (IsClosed() && IsMouseInput(event->type()))
        return true;
    return QObject::eventFilter(watched, event);
}

void DeskLockGuard::OnLockCommand(bool lock)
{
    if (!lock && views::IsDeskLocked()) {
        const QString code = UnlockCode();
        if (!code.isEmpty()) {
            const std::optional<QString> typed = controls::Questions().AskSecret(
                m_lock->parentWidget(), kUnlockCodeQuestion, kLockItemCaption);
            if (typed != code) {
                if (typed)
                    controls::Questions().Warn(m_lock->parentWidget(), kWrongUnlockCode,
                                               kLockItemCaption);
                m_lock->setChecked(true);
                return;
            }
        }
    }
    views::SetDeskLocked(lock);
}

void DeskLockGuard::Apply()
{
    const bool locked = views::IsDeskLocked();
    const bool closed = IsClosed();
    m_lock->setChecked(locked);
    m_lock->setEnabled(!views::IsDeskFollowing()); // the followed console's lock holds
    if (closed == m_applied)
        return;
    m_applied = closed;
    m_guarded.setEnabled(!closed);
    for (QWidget *name : m_names) {
        if (auto *edit = qobject_cast<QPlainTextEdit *>(name))
            edit->setReadOnly(closed);
    }
    std::erase_if(m_windows, [](const QPointer<QWidget> &window) { return window.isNull(); });
    for (const QPointer<QWidget> &window : m_windows)
        window->setEnabled(!closed);
}

} // namespace orinsub::app
