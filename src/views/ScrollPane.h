#pragma once

#include "PaneZoom.h"
#include "controls/Pane.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPointer>
#include <vector>

class QKeyEvent;

namespace orinsub::views {

/// A scrolling console pane: a logical area shown through the client area (logical = client +
/// scroll position). It paints only the exposed part, through OnDraw with the painter already in
/// logical coordinates. Name boxes are children of the client area (viewport()) placed at their
/// client position; scrolling moves them with the content.
///
/// When the window is too small for the desk the pane is drawn smaller (its zoom, below 1): the
/// client coordinates stay those of the layout, the painting, the repaint requests, the name
/// boxes and the mouse positions are turned into the widget's pixels and back here.
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

    /// Draws the pane at this zoom (1 or less; see PaneZoom) and lays it out again.
    void SetZoom(double zoom);
    double GetZoom() const { return m_zoom.Get(); }
    /// The widget pixels (of viewport()) that show a client rectangle or point.
    QRect ClientToWidget(const QRect &client) const { return m_zoom.ToWidget(client); }
    QPoint ClientToWidget(QPoint client) const { return m_zoom.ToWidget(client); }

    /// From here to EndInvalidationBatch, repaint requests are gathered; the end merges
    /// neighbouring ones and passes a few rectangles on. A pass that repaints many scattered
    /// controls (the input pick-up) would otherwise build a dirty region of hundreds of pieces.
    void BeginInvalidationBatch();
    void EndInvalidationBatch();

protected:
    /// The pane's client area has a new size or zoom: a pane whose layout follows the room it
    /// has (longer faders in a taller pane) places its controls again here.
    virtual void OnClientResized() {}
    /// A new size of the logical area.
    void SetScrollSize(QSize size);
    /// Places a child of the client area (a name box) at a logical rectangle; it follows the
    /// scroll position and the zoom, its font too.
    void PlaceChild(QWidget *child, const QRect &logical);
    /// Draws the part of the logical area that needs it; the painter is clipped to it.
    virtual void OnDraw(QPainter &painter, const QRect &logicalExposed) = 0;
    /// Tab, Shift+Tab, Escape and F1 typed in this name box reach this pane's keyPressEvent
    /// instead, as if the pane had the focus.
    void RouteConsoleKeys(QWidget *nameBox);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    /// Mouse positions arrive in client coordinates, whatever the zoom.
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    /// Tab and Shift+Tab go to keyPressEvent rather than moving the focus along the window.
    bool event(QEvent *event) override;
    /// Greys the clipboard commands and sets Undo from the undo record; repaints nothing.
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Child
    {
        QPointer<QWidget> widget;
        QRect logical;
        QFont font; // at zoom 1
    };

    void UpdateScrollRanges();
    /// The name boxes placed before the first zoom are taken where they stand.
    void AdoptChildren();
    void PlaceChildren();
    void PlaceOneChild(Child &child);
    void RequestRepaint(const QRect &client);

    QSize m_scrollSize;
    PaneZoom m_zoom;
    std::vector<Child> m_children;
    bool m_batching = false;
    std::vector<QRect> m_batch;
};

} // namespace orinsub::views
