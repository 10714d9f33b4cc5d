#pragma once

#include <QList>
#include <map>

class QAction;
class QMainWindow;
class QMenu;

namespace orinsub::app {

/// The main window's commands as actions, keyed by command id: the menu items of the menu bar and
/// the accelerators that have no menu item (next and previous pane), built from one table. Menu
/// item texts carry their first key after a tab, as the menu shows it.
class MainMenu
{
public:
    /// Builds the menu bar of window (kept inside the window, never a desktop-wide menu) and adds
    /// the accelerator-only actions to window. Every item starts enabled and unchecked, except the
    /// recent-file placeholder, which is greyed. Nothing is connected.
    explicit MainMenu(QMainWindow &window);

    /// The action of a command id, or null.
    QAction *Command(int id) const;
    /// The File menu and the recent-file placeholder ("最近使ったファイル") in it.
    QMenu *FileMenu() const { return m_fileMenu; }
    QAction *RecentFilePlaceholder() const { return m_recentPlaceholder; }

private:
    std::map<int, QAction *> m_commands;
    QMenu *m_fileMenu = nullptr;
    QAction *m_recentPlaceholder = nullptr;
};

} // namespace orinsub::app
