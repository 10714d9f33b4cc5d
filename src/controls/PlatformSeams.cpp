#include "KeyState.h"
#include "QuestionBox.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace orinsub::controls {

namespace {

class MessageQuestionBox : public QuestionBox
{
public:
    bool AskOkCancel(QWidget *parent, const QString &text, const QString &caption) override
    {
        return QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                           parent)
                   .exec() == QMessageBox::Ok;
    }
    int AskYesNoCancel(QWidget *parent, const QString &text, const QString &caption) override
    {
        const int answer = QMessageBox(QMessageBox::Warning, caption, text,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent)
                               .exec();
        return answer == QMessageBox::Yes ? 1 : answer == QMessageBox::No ? 0 : -1;
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

QuestionBox &Questions() { return *g_questions; }
void SetQuestions(QuestionBox *questions) { g_questions = questions ? questions : &g_messageBoxes; }
const KeyState &Keys() { return *g_keys; }
void SetKeys(const KeyState *keys) { g_keys = keys ? keys : &g_keyboard; }

} // namespace orinsub::controls
