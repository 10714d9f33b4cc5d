#pragma once

#include "controls/Pane.h"

#include <QAbstractScrollArea>
#include <vector>

class QKeyEvent;

namespace orinsub::views {

/// A scrolling console pane: a logical area of fixed size shown through the client area
/// (logical = client + scroll position). It paints only the exposed part, through OnDraw with
/// the painter already in logical coordinates. Name boxes are children of the client area
/// (viewport()) placed at their client position; scrolling moves them with the content.
class ScrollPane : public QAbstractScrollArea, public controls::Pane
{
public:
    ScrollPane(QSize scrollSize, QWidget *parent);

    QPoint GetScrollPosition() const override;
    void InvalidateRect(const QRect &client) override;
    QRect GetClientRect() const override;
    /// Scrolls so that the logical point is at the client's top-left, as far as the area allows.
    void ScrollToPosition(QPoint logical);
    QSize GetScrollSize() const { return m_scrollSize; }

    /// From here to EndInvalidationBatch, repaint requests are gathered; the end merges
    /// neighbouring ones and passes a few rectangles on. A pass that repaints many scattered
    /// controls (the input pick-up) would otherwise build a dirty region of hundreds of pieces.
    void BeginInvalidationBatch();
    void EndInvalidationBatch();

protected:
    /// Draws the part of the logical area that needs it; the painter is clipped to it.
    virtual void OnDraw(QPainter &painter, const QRect &logicalExposed) = 0;
    /// Tab, Shift+Tab, Escape and F1 typed in this name box reach this pane's keyPressEvent
    /// instead, as if the pane had the focus.
    void RouteConsoleKeys(QWidget *nameBox);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    /// Tab and Shift+Tab go to keyPressEvent rather than moving the focus along the window.
    bool event(QEvent *event) override;
    /// Greys the clipboard commands and sets Undo from the undo record; repaints nothing.
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void UpdateScrollRanges();

    QSize m_scrollSize;
    bool m_batching = false;
    std::vector<QRect> m_batch;
};

} // namespace orinsub::views
