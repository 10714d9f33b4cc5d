#include "ScrollPane.h"

#include "ConsoleOperations.h"
#include "DeskWatch.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

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
    if (!client.intersects(viewport()->rect()))
        return;
    if (m_batching)
        m_batch.push_back(client);
    else
        viewport()->update(client);
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
            viewport()->update(merged);
            merged = r;
        }
    }
    viewport()->update(merged);
    m_batch.clear();
}

QRect ScrollPane::GetClientRect() const
{
    return viewport()->rect();
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
    const QSize whole = maximumViewportSize();
    const bool fits =
        m_scrollSize.width() <= whole.width() && m_scrollSize.height() <= whole.height();
    const QSize client = fits ? whole : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_scrollSize.width() - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, std::max(0, m_scrollSize.height() - client.height()));
    verticalScrollBar()->setPageStep(client.height());
}

void ScrollPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void ScrollPane::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy); // moves the name boxes along and repaints only what came in
}

void ScrollPane::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QPoint scroll = GetScrollPosition();
    painter.translate(-scroll);
    OnDraw(painter, event->rect().translated(scroll));
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
