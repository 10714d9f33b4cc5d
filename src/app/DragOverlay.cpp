#include "DragOverlay.h"

#include <QPaintEvent>
#include <QPainter>

namespace orinsub::app {

DragOverlay::DragOverlay(QWidget *window) : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void DragOverlay::Show(DragPicture picture)
{
    UpdatePicture();
    m_picture = std::move(picture);
    if (isHidden()) {
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }
    UpdatePicture();
}

void DragOverlay::MoveTo(QPoint topLeft)
{
    if (m_picture.empty() || m_picture.front().topLeft == topLeft)
        return;
    UpdatePicture();
    const QPoint by = topLeft - m_picture.front().topLeft;
    for (DragLayer &layer : m_picture)
        layer.topLeft += by;
    UpdatePicture();
}

void DragOverlay::End()
{
    m_picture.clear();
    hide();
}

void DragOverlay::UpdatePicture()
{
    for (const DragLayer &layer : m_picture)
        update(layer.Rect());
}

void DragOverlay::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (const DragLayer &layer : m_picture) {
        if (event->region().intersects(layer.Rect()))
            painter.drawImage(layer.topLeft, layer.image);
    }
}

} // namespace orinsub::app
