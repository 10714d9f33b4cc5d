#include "PaneZoom.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orinsub::views {

void PaneZoom::Set(double zoom)
{
    m_zoom = std::clamp(zoom, kMinimum, 1.0);
}

QRect PaneZoom::ToWidget(const QRect &client) const
{
    if (IsOne() || client.isEmpty())
        return client;
    const int left = static_cast<int>(std::floor(client.left() * m_zoom));
    const int top = static_cast<int>(std::floor(client.top() * m_zoom));
    const int right = static_cast<int>(std::ceil((client.left() + client.width()) * m_zoom));
    const int bottom = static_cast<int>(std::ceil((client.top() + client.height()) * m_zoom));
    return QRect(left, top, right - left, bottom - top);
}

QRect PaneZoom::RepaintArea(const QRect &client) const
{
    return IsOne() ? client : ToWidget(client).adjusted(-1, -1, 1, 1);
}

QPoint PaneZoom::ToWidget(QPoint client) const
{
    return IsOne() ? client
                   : QPoint(static_cast<int>(std::lround(client.x() * m_zoom)),
                            static_cast<int>(std::lround(client.y() * m_zoom)));
}

QRect PaneZoom::ToClient(const QRect &widget) const
{
    if (IsOne() || widget.isEmpty())
        return widget;
    const int left = static_cast<int>(std::floor(widget.left() / m_zoom));
    const int top = static_cast<int>(std::floor(widget.top() / m_zoom));
    const int right = static_cast<int>(std::ceil((widget.left() + widget.width()) / m_zoom));
    const int bottom = static_cast<int>(std::ceil((widget.top() + widget.height()) / m_zoom));
    return QRect(left, top, right - left, bottom - top);
}

QSize PaneZoom::ToClient(QSize widget) const
{
    // Rounded: a hundredth of a pixel short still shows the whole of the last one.
    return IsOne() ? widget
                   : QSize(static_cast<int>(std::lround(widget.width() / m_zoom)),
                           static_cast<int>(std::lround(widget.height() / m_zoom)));
}

void PaneZoom::Apply(QPainter &painter) const
{
    if (IsOne())
        return;
    painter.scale(m_zoom, m_zoom);
    // The knob pictures are drawn at the zoomed size: smoothed rather than with dropped rows.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

std::unique_ptr<QEvent> PaneZoom::ToClient(const QEvent &event) const
{
    if (IsOne())
        return nullptr;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto &mouse = static_cast<const QMouseEvent &>(event);
        const QPointF client = mouse.position() / m_zoom;
        return std::make_unique<QMouseEvent>(mouse.type(), client, client, mouse.globalPosition(),
                                             mouse.button(), mouse.buttons(), mouse.modifiers(),
                                             mouse.pointingDevice());
    }
    case QEvent::ContextMenu: {
        const auto &menu = static_cast<const QContextMenuEvent &>(event);
        const QPoint client(static_cast<int>(menu.pos().x() / m_zoom),
                            static_cast<int>(menu.pos().y() / m_zoom));
        return std::make_unique<QContextMenuEvent>(menu.reason(), client, menu.globalPos(),
                                                   menu.modifiers());
    }
    default:
        return nullptr;
    }
}

} // namespace orinsub::views
