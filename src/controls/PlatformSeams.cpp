#include "KeyState.h"
#include "QuestionBox.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace orinsub::controls {

namespace {

class MessageQuestionBox : public QuestionBox
{
public:
    bool AskOkCancel(QWidget *parent, const QString &text, const QString &caption) override
    {
        return QMessageBox(QMessageBox::Warning, caption, text,
                           QMessageBox::Ok | QMessageBox::Cancel, parent)
                   .exec() == QMessageBox::Ok;
    }
    int AskYesNoCancel(QWidget *parent, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Warning, caption, text,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        const int answer = box.exec();
        return answer == QMessageBox::Yes ? 1 : answer == QMessageBox::No ? 0 : -1;
    }
    bool AskSafeChoice(QWidget *parent, const QString &text, const QString &caption,
                       const QString &safe, const QString &other) override
    {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent);
        box.addButton(other, QMessageBox::DestructiveRole);
        QPushButton *safeButton = box.addButton(safe, QMessageBox::RejectRole);
        // The default button has the focus, so Space presses it as Enter does.
        box.setDefaultButton(safeButton);
        box.setEscapeButton(safeButton);
        box.exec();
        return box.clickedButton() == safeButton;
    }
    std::optional<QString> AskSecret(QWidget *parent, const QString &text,
                                     const QString &caption) override
    {
        bool ok = false;
        const QString typed =
            QInputDialog::getText(parent, caption, text, QLineEdit::Password, QString(), &ok);
        return ok ? std::optional<QString>(typed) : std::nullopt;
    }
    void Warn(QWidget *parent, const QString &text, const QString &caption) override
    {
        QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent).exec();
    }
};

class KeyboardKeyState : public KeyState
{
public:
    bool IsShiftDown() const override
    {
        return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    }
};

MessageQuestionBox g_messageBoxes;
KeyboardKeyState g_keyboard;
QuestionBox *g_questions = &g_messageBoxes;
const KeyState *g_keys = &g_keyboard;

} // namespace

QuestionBox &Questions()
{
    return *g_questions;
}
void SetQuestions(QuestionBox *questions)
{
    g_questions = questions ? questions : &g_messageBoxes;
}
const KeyState &Keys()
{
    return *g_keys;
}
void SetKeys(const KeyState *keys)
{
    g_keys = keys ? keys : &g_keyboard;
}

} // namespace orinsub::controls
