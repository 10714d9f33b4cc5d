#pragma once

#include <QWidget>
#include <functional>

namespace orinsub::app {

/// An endless speed wheel: it turns, and says by how much; it holds no speed of its own, so a
/// speed set elsewhere (a tap, a surface) never makes it jump. A notch of the mouse wheel is 1
/// BPM (10 with Shift), a drag up or down 1 BPM every few pixels, the arrow keys 1 BPM and
/// Page Up and Down 10. Paints only itself.
class ChaseSpeedWheel : public QWidget
{
public:
    /// turned: the change in tenths of a BPM, up positive.
    ChaseSpeedWheel(std::function<void(int tenths)> turned, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Turn(int bpm);

    std::function<void(int)> m_turned;
    int m_turns = 0;     // whole BPM turned so far: where the ridges are drawn
    int m_wheelRest = 0; // of a high-resolution wheel, less than a notch
    int m_dragY = 0;     // the pointer's height at the last whole BPM of a drag
    bool m_dragging = false;
};

} // namespace orinsub::app
