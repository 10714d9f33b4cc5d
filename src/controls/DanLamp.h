#pragma once

#include "RowState.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <array>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A preset row's on-air lamp: a framed square with the row's letter, green while the row is off
/// air and red while it is on air.
class CDanLamp
{
public:
    /// Repaints the lamp in its pane when the state changes.
    void SetState(RowState state);
    RowState GetState() const { return m_state; }
    void SetText(const QString &text) { m_text = text; }
    void SetView(Pane *view) { m_view = view; }
    void Draw(QPainter &painter) const;
    void SetGeometry(int x, int y, int width, int height);
    /// The lamp's box around its centre, logical coordinates.
    QRect GetRect() const;
    /// The fill colour of the current state.
    QColor GetColor() const;

private:
    RowState m_state = RowState::OffAir;
    // Indexed by the state's value; 0 and 3 are spare colours no state shows today.
    std::array<QColor, 4> m_colors{QColor(127, 127, 127), QColor(0, 200, 0), QColor(255, 0, 0),
                                   QColor(255, 200, 0)};
    QString m_text;
    Pane *m_view = nullptr;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace orinsub::controls
