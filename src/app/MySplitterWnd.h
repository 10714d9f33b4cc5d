#pragma once

#include <QSplitter>

namespace orinsub::app {

/// A splitter whose bars cannot move: panes one pixel apart, the bars ignoring the mouse, so the
/// panes keep the sizes the main window gives them. Room beyond those sizes goes to the last pane.
class CMySplitterWnd : public QSplitter
{
public:
    CMySplitterWnd(Qt::Orientation orientation, QWidget *parent = nullptr);

    /// Adds pane after the others with its ideal size along the splitter and its minimum.
    void AddPane(QWidget *pane, int idealSize, int minimumSize = 0);
    /// The pane at index, or null.
    QWidget *GetPane(int index) const { return widget(index); }

protected:
    QSplitterHandle *createHandle() override;

private:
    QList<int> m_idealSizes;
};

} // namespace orinsub::app
