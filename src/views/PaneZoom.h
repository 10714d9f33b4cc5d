#pragma once

#include <QRect>
#include <memory>

class QEvent;
class QPainter;

namespace orinsub::views {

/// How much smaller than its layout a pane is drawn when the window is too small for the desk:
/// client coordinates (what the controls and the pane's code use) times the zoom are the
/// widget's pixels. At zoom 1 nothing changes, to the pixel.
class PaneZoom
{
public:
    double Get() const { return m_zoom; }
    /// A zoom above 1 or below kMinimum is held to those limits.
    void Set(double zoom);
    bool IsOne() const { return m_zoom == 1.0; }

    /// The pixels that show a client rectangle: every pixel it touches.
    QRect ToWidget(const QRect &client) const;
    /// The pixels to repaint for a client rectangle: ToWidget and, drawn smaller, the pixel
    /// around it that smoothed edges and text may reach.
    QRect RepaintArea(const QRect &client) const;
    QPoint ToWidget(QPoint client) const;
    /// The client rectangle that a widget rectangle shows: every client pixel it touches.
    QRect ToClient(const QRect &widget) const;
    /// The client size that the widget's pixels show in full.
    QSize ToClient(QSize widget) const;
    /// The painter draws client coordinates from here on.
    void Apply(QPainter &painter) const;
    /// A copy of a mouse or context-menu event with its position in client coordinates (the
    /// screen position stays); null for any other event or at zoom 1.
    std::unique_ptr<QEvent> ToClient(const QEvent &event) const;

    static constexpr double kMinimum = 0.25;

private:
    double m_zoom = 1.0;
};

} // namespace orinsub::views
