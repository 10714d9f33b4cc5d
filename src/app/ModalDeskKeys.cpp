#include "ModalDeskKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

namespace orinsub::app {

ModalDeskKeys::ModalDeskKeys(std::vector<QAction *> commands) : m_commands(std::move(commands))
{
    qApp->installEventFilter(this);
}

ModalDeskKeys::~ModalDeskKeys()
{
    qApp->removeEventFilter(this);
}

bool ModalDeskKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(
        QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (QAction *command : m_commands) {
        if (command->isEnabled() && command->shortcuts().contains(pressed)) {
            if (!key->isAutoRepeat())
                command->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orinsub::app
