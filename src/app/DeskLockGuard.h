#pragma once

#include <QActionGroup>
#include <QObject>
#include <QPointer>
#include <vector>

class QAction;
class QWidget;

namespace orinsub::app {

/// Keeps the desk lock's word in the main window: while the desk is locked the panes take no
/// mouse press, wheel or context menu, the guarded commands are greyed, the name boxes and the
/// guarded windows edit nothing, and the lock command is checked. Unlocking from the menu asks
/// for the unlock code when the settings hold one. A desk that follows another console (a
/// tracking backup) is closed the same way, its lock command greyed too. UI thread only.
class DeskLockGuard : public QObject
{
public:
    /// lock: the checkable command that switches the lock. panes: the desk's panes; names: the
    /// name boxes.
    DeskLockGuard(QAction *lock, std::vector<QWidget *> panes, std::vector<QWidget *> names);
    ~DeskLockGuard() override;
    DeskLockGuard(const DeskLockGuard &) = delete;
    DeskLockGuard &operator=(const DeskLockGuard &) = delete;

    /// A command that changes the show or the desk's levels: greyed while locked, and back as it
    /// was after.
    void Guard(QAction *command);
    /// A window whose every edit changes the show (the patch window): disabled while locked.
    void Guard(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The lock command was chosen: locking is at once, unlocking may want the code.
    void OnLockCommand(bool lock);
    /// Shows the lock as it is now, whoever switched it.
    void Apply();

    QAction *m_lock;
    QActionGroup m_guarded;
    std::vector<QWidget *> m_names;
    std::vector<QPointer<QWidget>> m_windows;
    bool m_applied = false;
};

} // namespace orinsub::app
