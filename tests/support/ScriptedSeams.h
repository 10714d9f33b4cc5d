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
    bool AskSafeChoice(QWidget *, const QString &text, const QString &caption, const QString &,
                       const QString &) override
    {
        Record(text, caption);
        return Next(1) == 1;
    }
    std::optional<QString> AskSecret(QWidget *, const QString &text,
                                     const QString &caption) override
    {
        Record(text, caption);
        if (secrets.empty())
            return std::nullopt;
        QString typed = secrets.front();
        secrets.pop_front();
        return typed;
    }
    void Warn(QWidget *, const QString &text, const QString &caption) override
    {
        Record(text, caption);
    }

    /// Queues answers: 1 OK, Yes or the safe choice, 0 No, -1 Cancel or the other choice.
    /// Unscripted questions get OK, Cancel or the safe choice.
    void Answer(std::initializer_list<int> answers) { m_answers.insert(m_answers.end(), answers); }

    QStringList texts;
    QStringList captions;
    std::deque<QString> secrets; // what AskSecret's operator types; none left: Cancel

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
