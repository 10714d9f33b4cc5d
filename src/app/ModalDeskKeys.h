#pragma once

#include <QObject>
#include <vector>

class QAction;

namespace orinsub::app {

/// Keeps the desk's playing keys (GO, カット, 戻る, blackout) working while a modal dialog or
/// message box of the console is open: Qt holds every shortcut of the windows such a dialog
/// blocks, so the keys are taken here, from the application's events, and the command runs as
/// its menu item would. Only while a modal widget is active; a held key acts once. UI thread.
class ModalDeskKeys : public QObject
{
public:
    explicit ModalDeskKeys(std::vector<QAction *> commands);
    ~ModalDeskKeys() override;
    ModalDeskKeys(const ModalDeskKeys &) = delete;
    ModalDeskKeys &operator=(const ModalDeskKeys &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<QAction *> m_commands;
};

} // namespace orinsub::app
