#include "MyEdit.h"

#include "ConsoleLook.h"

#include <QSignalBlocker>
#include <QTextOption>

namespace orinsub::controls {

CMyEdit::CMyEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setFont(ConsoleFont(90));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDefaultTextOption(option);
}

void CMyEdit::ShowText(const QString &text)
{
    if (toPlainText() == text)
        return;
    const QSignalBlocker quiet(this);
    setPlainText(text);
}

void CMyEdit::SelectAllText()
{
    selectAll();
    ensureCursorVisible();
}

void CMyEdit::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    emit FocusEntered();
}

} // namespace orinsub::controls
