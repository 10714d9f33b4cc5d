#include "ChaseSpeedWheel.h"

#include "AppResources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace orinsub::app {

namespace {

using namespace chasewindow;

constexpr int kNotch = 120; // a mouse wheel's notch in eighths of a degree
constexpr int kRidges = 8;  // drawn across the wheel's face
constexpr int kTenthsPerBpm = 10;
constexpr int kBigStep = 10; // BPM with Shift, or a page key

} // namespace

ChaseSpeedWheel::ChaseSpeedWheel(std::function<void(int tenths)> turned, QWidget *parent)
    : QWidget(parent), m_turned(std::move(turned))
{
    setFocusPolicy(Qt::WheelFocus);
    setCursor(Qt::SizeVerCursor);
    setToolTip(kWheelTip);
    setAccessibleName(kWheelTip);
}

QSize ChaseSpeedWheel::sizeHint() const
{
    return {kWheelWidth, kWheelHeight};
}

void ChaseSpeedWheel::Turn(int bpm)
{
    if (bpm == 0)
        return;
    m_turns += bpm;
    update();
    m_turned(bpm * kTenthsPerBpm);
}

void ChaseSpeedWheel::paintEvent(QPaintEvent *)
{
    // The face of a wheel seen edge on: ridges that travel as it turns.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(kWheelRidge);
    painter.setBrush(kWheelBody);
    painter.drawRoundedRect(face, 6, 6);
    const double pitch = face.height() / kRidges;
    const double shift = ((m_turns % kRidges + kRidges) % kRidges) * pitch / kRidges;
    for (int i = 0; i < kRidges; ++i) {
        const double y = face.top() + std::fmod(i * pitch + shift, face.height());
        painter.drawLine(QPointF(face.left() + 4, y), QPointF(face.right() - 4, y));
    }
    if (hasFocus())
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ChaseSpeedWheel::wheelEvent(QWheelEvent *event)
{
    m_wheelRest += event->angleDelta().y();
    const int notches = m_wheelRest / kNotch;
    m_wheelRest -= notches * kNotch;
    Turn(notches * (event->modifiers() & Qt::ShiftModifier ? kBigStep : 1));
    event->accept();
}

void ChaseSpeedWheel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_dragY = event->position().toPoint().y();
}

void ChaseSpeedWheel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int y = event->position().toPoint().y();
    const int bpm = (m_dragY - y) / kWheelDragPixels;
    m_dragY -= bpm * kWheelDragPixels;
    Turn(bpm);
}

void ChaseSpeedWheel::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

void ChaseSpeedWheel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        Turn(1);
        break;
    case Qt::Key_Down:
        Turn(-1);
        break;
    case Qt::Key_PageUp:
        Turn(kBigStep);
        break;
    case Qt::Key_PageDown:
        Turn(-kBigStep);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace orinsub::app
