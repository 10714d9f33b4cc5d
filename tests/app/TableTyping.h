#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace orinsub::testing {

/// Types text as the keyboard does: ASCII key by key, anything else as the input method hands
/// in Japanese.
inline void TypeText(QWidget *widget, const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(widget, text);
        return;
    }
    QInputMethodEvent composed;
    composed.setCommitString(text);
    QApplication::sendEvent(widget, &composed);
}

/// Edits a cell from the keyboard: F2, the text in place of what is there, Enter; then lets the
/// window answer (the editor hands its text in on the next turn of the event loop, a refused
/// edit is told on the turn after).
inline void EditCell(QAbstractItemView *table, int row, int column, const QString &text)
{
    table->setFocus();
    table->setCurrentIndex(table->model()->index(row, column));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, table) << "no editor opened";
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    TypeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace orinsub::testing
