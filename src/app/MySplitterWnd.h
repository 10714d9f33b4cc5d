#pragma once

#include <QSplitter>
#include <functional>

namespace orinsub::app {

/// A splitter with panes one pixel apart. Its bars either stay where the main window puts them
/// (they ignore the mouse) or can be dragged by the operator (Bars::Movable).
class CMySplitterWnd : public QSplitter
{
public:
    enum class Bars { Fixed, Movable };

    CMySplitterWnd(Qt::Orientation orientation, Bars bars, QWidget *parent = nullptr);

    /// Adds pane after the others with its ideal size along the splitter and its minimum.
    void AddPane(QWidget *pane, int idealSize, int minimumSize = 0);
    /// The pane at index, or null.
    QWidget *GetPane(int index) const { return widget(index); }
    /// Runs after every change of the splitter's size, once it has placed its panes.
    void SetResizedHandler(std::function<void()> handler) { m_onResized = std::move(handler); }

protected:
    QSplitterHandle *createHandle() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Bars m_bars;
    QList<int> m_idealSizes;
    std::function<void()> m_onResized;
};

} // namespace orinsub::app
