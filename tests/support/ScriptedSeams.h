#pragma once

#include "controls/KeyState.h"
#include "controls/QuestionBox.h"

#include <QStringList>
#include <deque>

namespace orinsub::testing {

/// Answers questions from a script and records what was asked. Installed for its lifetime.
class ScriptedQuestions : public controls::QuestionBox
{
public:
    ScriptedQuestions() { controls::SetQuestions(this); }
    ~ScriptedQuestions() override { controls::SetQuestions(nullptr); }

    bool AskOkCancel(QWidget *, const QString &text, const QString &caption) override
    {
        Record(text, caption);
        return Next(1) == 1;
    }
    int AskYesNoCancel(QWidget *, const QString &text, const QString &caption) override
    {
        Record(text, caption);
        return Next(-1);
    }
    void Warn(QWidget *, const QString &text, const QString &caption) override
    {
        Record(text, caption);
    }

    /// Queues answers: 1 OK or Yes, 0 No, -1 Cancel. Unscripted questions get the default.
    void Answer(std::initializer_list<int> answers) { m_answers.insert(m_answers.end(), answers); }

    QStringList texts;
    QStringList captions;

private:
    void Record(const QString &text, const QString &caption)
    {
        texts << text;
        captions << caption;
    }
    int Next(int fallback)
    {
        if (m_answers.empty())
            return fallback;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::deque<int> m_answers;
};

/// Holds Shift (or not) without a keyboard. Installed for its lifetime.
class HeldKeys : public controls::KeyState
{
public:
    explicit HeldKeys(bool shift = true) : shift(shift) { controls::SetKeys(this); }
    ~HeldKeys() override { controls::SetKeys(nullptr); }
    bool IsShiftDown() const override { return shift; }
    bool shift;
};

} // namespace orinsub::testing
