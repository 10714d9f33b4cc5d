#include "EditorWindowParts.h"

#include "AppResources.h"
#include "controls/ConsoleLook.h"
#include "controls/QuestionBox.h"
#include "views/ConsoleKeys.h"
#include "views/DeskLock.h"

#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

namespace orinsub::app {

namespace {

class SpaceIsGo : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
                views::DispatchConsoleKey(Qt::Key_Space, key->isAutoRepeat());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool IsShowEditable()
{
    return !views::IsDeskLocked() && !views::IsDeskFollowing();
}

QPalette EditorWindowPalette(QPalette look)
{
    using namespace cuewindow;
    look.setColor(QPalette::Window, controls::kPaneBackground);
    look.setColor(QPalette::WindowText, kTextColour);
    look.setColor(QPalette::Base, kListBackground);
    look.setColor(QPalette::AlternateBase, kListAlternate);
    look.setColor(QPalette::Text, kListText);
    look.setColor(QPalette::Button, kButton);
    look.setColor(QPalette::ButtonText, kTextColour);
    look.setColor(QPalette::Highlight, kSelection);
    look.setColor(QPalette::HighlightedText, kTextColour);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        look.setColor(QPalette::Disabled, role, controls::kScaleTextColor);
    return look;
}

void TypedOnlyDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor); line && !line->isModified())
        return;
    QStyledItemDelegate::setModelData(editor, model, index);
}

void MakeSpaceGo(QAbstractItemView *list)
{
    list->installEventFilter(new SpaceIsGo(list));
}

void AddKey(QWidget *widget, const QKeySequence &key, Qt::ShortcutContext context,
            std::function<void()> act)
{
    auto *action = new QAction(widget);
    action->setShortcut(key);
    action->setShortcutContext(context);
    widget->addAction(action);
    QObject::connect(action, &QAction::triggered, widget, std::move(act));
}

void WarnLater(QWidget *window, const QString &error, const QString &caption)
{
    QMetaObject::invokeMethod(
        window, [window, error, caption] { controls::Questions().Warn(window, error, caption); },
        Qt::QueuedConnection);
}

} // namespace orinsub::app
