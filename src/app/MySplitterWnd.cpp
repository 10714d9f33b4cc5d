#include "MySplitterWnd.h"

namespace orinsub::app {

namespace {

constexpr int kPaneGap = 1;

/// A bar that takes presses and moves as handled and does nothing with them.
class FixedHandle : public QSplitterHandle
{
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void mousePressEvent(QMouseEvent *) override {}
    void mouseMoveEvent(QMouseEvent *) override {}
    void mouseReleaseEvent(QMouseEvent *) override {}
};

} // namespace

CMySplitterWnd::CMySplitterWnd(Qt::Orientation orientation, Bars bars, QWidget *parent)
    : QSplitter(orientation, parent), m_bars(bars)
{
    setHandleWidth(kPaneGap);
    setChildrenCollapsible(false);
    setOpaqueResize(true);
}

void CMySplitterWnd::AddPane(QWidget *pane, int idealSize, int minimumSize)
{
    if (count() > 0)
        setStretchFactor(count() - 1, 0);
    if (orientation() == Qt::Horizontal)
        pane->setMinimumWidth(minimumSize);
    else
        pane->setMinimumHeight(minimumSize);
    addWidget(pane);
    setStretchFactor(count() - 1, 1);
    m_idealSizes.push_back(idealSize);
    setSizes(m_idealSizes);
}

QSplitterHandle *CMySplitterWnd::createHandle()
{
    // A one-pixel bar still takes the mouse a few pixels either side (Qt widens its grab area).
    if (m_bars == Bars::Movable)
        return QSplitter::createHandle();
    auto *handle = new FixedHandle(orientation(), this);
    handle->setCursor(Qt::ArrowCursor);
    return handle;
}

void CMySplitterWnd::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    if (m_onResized)
        m_onResized();
}

} // namespace orinsub::app
