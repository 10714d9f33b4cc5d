#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace orinsub::controls {

/// The modal boxes through which the console asks and tells the operator. The program shows
/// message boxes; tests script the answers.
class QuestionBox
{
public:
    virtual ~QuestionBox() = default;
    /// OK/Cancel with the exclamation icon; true for OK.
    virtual bool AskOkCancel(QWidget *parent, const QString &text, const QString &caption) = 0;
    /// Yes/No/Cancel (the save-before-closing question): 1 yes, 0 no, -1 cancel. Cancel is the
    /// default: Enter, Space and Escape change nothing.
    virtual int AskYesNoCancel(QWidget *parent, const QString &text, const QString &caption) = 0;
    /// Two answers, safe the one that leaves the stage as it is: Enter, Space and Escape give
    /// it; other takes a deliberate click or its access key. True for safe.
    virtual bool AskSafeChoice(QWidget *parent, const QString &text, const QString &caption,
                               const QString &safe, const QString &other) = 0;
    /// A line typed unseen (a code); none when the operator cancelled.
    virtual std::optional<QString> AskSecret(QWidget *parent, const QString &text,
                                             const QString &caption) = 0;
    /// A warning with an OK button.
    virtual void Warn(QWidget *parent, const QString &text, const QString &caption) = 0;
};

/// The question box in force: message boxes unless a test installed another.
QuestionBox &Questions();
/// Installs a question box (not owned); null restores the message boxes.
void SetQuestions(QuestionBox *questions);

} // namespace orinsub::controls
