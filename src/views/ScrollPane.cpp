#include "ScrollPane.h"

#include "ConsoleOperations.h"
#include "DeskWatch.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace orinsub::views {

namespace {

bool IsRoutedKey(int key)
{
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
           key == Qt::Key_F1;
}

} // namespace

ScrollPane::ScrollPane(QSize scrollSize, QWidget *parent)
    : QAbstractScrollArea(parent), m_scrollSize(scrollSize)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::ClickFocus);
    // OnDraw covers every exposed pixel, so nothing needs erasing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    horizontalScrollBar()->setSingleStep(40);
    verticalScrollBar()->setSingleStep(20);
    UpdateScrollRanges();
}

QPoint ScrollPane::GetScrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void ScrollPane::InvalidateRect(const QRect &client)
{
    if (client.isEmpty())
        return;
    NotifyDeskChanged(); // a change scrolled out of sight still changed the desk
    if (!client.intersects(GetClientRect()))
        return;
    if (m_batching)
        m_batch.push_back(client);
    else
        RequestRepaint(client);
}

void ScrollPane::RequestRepaint(const QRect &client)
{
    viewport()->update(m_zoom.RepaintArea(client));
}

void ScrollPane::BeginInvalidationBatch()
{
    m_batching = true;
    m_batch.clear();
}

void ScrollPane::EndInvalidationBatch()
{
    m_batching = false;
    if (m_batch.empty())
        return;
    // Rectangles less than a column apart become one: the paint covers what lies between them
    // anyway, and the window's dirty region stays a handful of pieces.
    constexpr int kMergeGap = 40;
    std::sort(m_batch.begin(), m_batch.end(),
              [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    QRect merged = m_batch.front();
    for (const QRect &r : m_batch) {
        if (r.left() <= merged.left() + merged.width() + kMergeGap) {
            merged = merged.united(r);
        } else {
            RequestRepaint(merged);
            merged = r;
        }
    }
    RequestRepaint(merged);
    m_batch.clear();
}

QRect ScrollPane::GetClientRect() const
{
    return QRect(QPoint(), m_zoom.ToClient(viewport()->size()));
}

void ScrollPane::SetZoom(double zoom)
{
    const double before = m_zoom.Get();
    m_zoom.Set(zoom);
    if (m_zoom.Get() == before)
        return;
    AdoptChildren();
    UpdateScrollRanges();
    OnClientResized();
    PlaceChildren();
    viewport()->update();
}

void ScrollPane::SetScrollSize(QSize size)
{
    if (size == m_scrollSize)
        return;
    m_scrollSize = size;
    UpdateScrollRanges();
    viewport()->update();
}

void ScrollPane::AdoptChildren()
{
    const QPoint scroll = GetScrollPosition();
    for (QWidget *widget : viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const bool known = std::any_of(m_children.begin(), m_children.end(),
                                       [widget](const Child &c) { return c.widget == widget; });
        if (!known)
            m_children.push_back({widget, widget->geometry().translated(scroll), widget->font()});
    }
}

void ScrollPane::PlaceChild(QWidget *child, const QRect &logical)
{
    AdoptChildren();
    for (Child &c : m_children) {
        if (c.widget == child) {
            c.logical = logical;
            PlaceOneChild(c);
        }
    }
}

void ScrollPane::PlaceChildren()
{
    for (Child &c : m_children)
        PlaceOneChild(c);
}

void ScrollPane::PlaceOneChild(Child &child)
{
    if (!child.widget)
        return;
    const QRect client = child.logical.translated(-GetScrollPosition());
    const double zoom = m_zoom.Get();
    // Edges rounded one by one, so that neighbouring boxes still meet.
    auto at = [zoom](int v) { return static_cast<int>(std::lround(v * zoom)); };
    const int left = at(client.left()), top = at(client.top());
    child.widget->setGeometry(left, top, at(client.left() + client.width()) - left,
                              at(client.top() + client.height()) - top);
    QFont font = child.font;
    if (!m_zoom.IsOne())
        font.setPointSizeF(font.pointSizeF() * zoom);
    child.widget->setFont(font);
}

void ScrollPane::ScrollToPosition(QPoint logical)
{
    horizontalScrollBar()->setValue(logical.x());
    verticalScrollBar()->setValue(logical.y());
}

void ScrollPane::UpdateScrollRanges()
{
    // When the whole area fits without scroll bars, none are shown (the client measured with
    // bars still showing would keep them).
    const QSize whole = m_zoom.ToClient(maximumViewportSize());
    const bool fits =
        m_scrollSize.width() <= whole.width() && m_scrollSize.height() <= whole.height();
    const QSize client = fits ? whole : GetClientRect().size();
    horizontalScrollBar()->setRange(0, std::max(0, m_scrollSize.width() - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, std::max(0, m_scrollSize.height() - client.height()));
    verticalScrollBar()->setPageStep(client.height());
}

void ScrollPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
    OnClientResized();
}

void ScrollPane::scrollContentsBy(int dx, int dy)
{
    if (m_zoom.IsOne()) {
        viewport()->scroll(dx, dy); // moves the name boxes along and repaints only what came in
        return;
    }
    // A scroll by whole client pixels is not one by whole widget pixels: drawn anew.
    PlaceChildren();
    viewport()->update();
}

void ScrollPane::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    m_zoom.Apply(painter);
    const QPoint scroll = GetScrollPosition();
    painter.translate(-scroll);
    OnDraw(painter, m_zoom.ToClient(event->rect()).translated(scroll));
}

bool ScrollPane::viewportEvent(QEvent *event)
{
    if (const std::unique_ptr<QEvent> client = m_zoom.ToClient(*event)) {
        const bool handled = QAbstractScrollArea::viewportEvent(client.get());
        event->setAccepted(client->isAccepted());
        return handled;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ScrollPane::RouteConsoleKeys(QWidget *nameBox)
{
    nameBox->installEventFilter(this);
}

bool ScrollPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (IsRoutedKey(key->key())) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool ScrollPane::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ScrollPane::focusInEvent(QFocusEvent *)
{
    OnConsolePaneFocus();
}

void ScrollPane::focusOutEvent(QFocusEvent *) {}

} // namespace orinsub::views
