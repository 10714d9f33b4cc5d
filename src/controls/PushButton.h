#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace orinsub::controls {

class Pane;

/// How a drawn push-button looks: its fill and caption colours free and lit.
struct ButtonLook
{
    QColor free;
    QColor lit;
    QColor captionFree;
    QColor captionLit;
    int pointSize; // tenths of a point
};

/// Draws a push-button face in rect: the fill, the centred caption, a black outline, and a bevel
/// that is raised while free and pressed in while pressed. The bevel stays inside the outline, so
/// the button's own repaint covers it.
void DrawButtonFace(QPainter &painter, const QRect &rect, const QColor &fill,
                    const QColor &captionColour, int pointSize, const QString &caption,
                    bool pressed);

/// A drawn push-button with a caption whose fill is its lamp (GO, the blackout button). Not a
/// widget: the pane draws it and hit-tests GetRect; the button repaints itself in its pane only
/// when the way it looks changes.
class CPushButton
{
public:
    CPushButton(const QRect &logical, const QString &caption, const ButtonLook &look, Pane *owner);

    /// Logical coordinates.
    void Draw(QPainter &painter) const;
    QRect GetRect() const { return m_rect; }
    bool IsPressed() const { return m_pressed; }
    void SetPressed(bool pressed);
    bool IsLit() const { return m_lit; }
    void SetLit(bool lit);

private:
    void Invalidate() const;

    QRect m_rect; // logical
    QString m_caption;
    ButtonLook m_look;
    Pane *m_owner;
    bool m_pressed = false;
    bool m_lit = false;
};

} // namespace orinsub::controls
