#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A drawn push-lamp with a caption (the page buttons "▲" and "▼"). Not a widget: its pane
/// draws it and hit-tests GetRect; the lamp repaints itself in its owner pane, if it has one,
/// when it changes.
class CRcLamp
{
public:
    CRcLamp(int left, int top, int right, int bottom, const QString &text, Pane *owner = nullptr);
    virtual ~CRcLamp() = default;

    /// Fill by state, centred caption, black outline (logical coordinates).
    virtual void Draw(QPainter &painter) const;
    /// The fill the lamp shows now: hover only shows while on.
    QColor CurrentFill() const;
    /// The box, logical coordinates.
    QRect GetRect() const { return m_rect; }
    /// Moves the box (its pane laid out anew); the pane repaints.
    void SetRect(const QRect &rect) { m_rect = rect; }
    /// For the page buttons: the button can be used.
    bool IsOn() const { return m_on; }
    /// Switched off, the lamp loses its hover highlight too. Repaints only on a change.
    void SetOn(bool on);
    /// The mouse is over it.
    bool IsHovered() const { return m_hover; }
    /// Repaints only on a change.
    void SetHover(bool hover);

protected:
    QColor m_textOn{31, 31, 31};
    QColor m_textOff{191, 191, 191};
    QColor m_fillOn{0, 191, 0};
    QColor m_fillHover{0, 225, 0};
    QColor m_fillOff{127, 127, 127};
    int m_pointSize = 160;

private:
    void Invalidate() const;

    QRect m_rect; // logical
    QString m_text;
    Pane *m_owner;
    bool m_on = false;
    bool m_hover = false;
};

/// The "IN" lamp that routes the DMX input to a preset row or to the sub-master faders.
/// Drawn raised when off and pressed when on.
class CInButton : public CRcLamp
{
public:
    CInButton(int top, int bottom, const QString &text, Pane *owner);

    void Draw(QPainter &painter) const override;
};

} // namespace orinsub::controls
