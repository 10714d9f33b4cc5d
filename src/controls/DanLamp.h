#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <array>

class QPainter;

namespace orinsub::controls {

/// A preset row's on-air lamp: a framed square with the row's letter, coloured by state
/// (1 green: the row's crossfader handle is at 0; 2 red: it is above 0).
class CDanLamp
{
public:
    void SetState(int state) { m_state = state; }
    int GetState() const { return m_state; }
    void SetText(const QString &text) { m_text = text; }
    void Draw(QPainter &painter) const;
    void SetGeometry(int x, int y, int width, int height);
    /// The lamp's box around its centre.
    QRect GetRect() const;
    /// The fill colour of the current state (grey for a state outside 0..3).
    QColor GetColor() const;

private:
    int m_state = 0;
    std::array<QColor, 4> m_colors{QColor(127, 127, 127), QColor(0, 200, 0), QColor(255, 0, 0),
                                   QColor(255, 200, 0)};
    QString m_text;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace orinsub::controls
