#pragma once

#include <QPlainTextEdit>

namespace orinsub::controls {

/// The name box of a channel or sub-master label: centred, multi-line, wrapping text with a
/// sunken frame and no scroll bars. Its pane stores the name on every change of the text.
class CMyEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CMyEdit(QWidget *parent = nullptr);

    /// The number of the label that owns the box.
    void SetNumber(int number) { m_number = number; }
    int GetNumber() const { return m_number; }
    /// Replaces the text without reporting it as an edit.
    void ShowText(const QString &text);
    /// Selects the whole text and keeps the caret visible.
    void SelectAllText();

signals:
    /// The box got the keyboard focus (the edit commands then apply to it).
    void FocusEntered();

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    int m_number = 0;
};

} // namespace orinsub::controls
