#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A drawn push-lamp with a caption (the page buttons "▲" and "▼"). Not a widget: its pane
/// draws it, hit-tests m_rect and repaints it after changing m_on or m_hover.
class CRcLamp
{
public:
    CRcLamp(int left, int top, int right, int bottom, const QString &text);
    virtual ~CRcLamp() = default;

    /// Fill by state, centred caption, black outline (logical coordinates).
    virtual void Draw(QPainter &painter) const;
    /// The fill the lamp shows now: hover only shows while on.
    QColor CurrentFill() const;

    QRect m_rect; // logical
    QColor m_textOn{31, 31, 31};
    QColor m_textOff{191, 191, 191};
    QColor m_fillOn{0, 191, 0};
    QColor m_fillHover{0, 225, 0};
    QColor m_fillOff{127, 127, 127};
    int m_pointSize = 160;
    QString m_text;
    bool m_on = false;    // for the page buttons: the button can be used
    bool m_hover = false; // the mouse is over it
};

/// The "IN" lamp that routes the DMX input to a preset row or to the sub-master faders.
/// Drawn raised when off and pressed when on.
class CInButton : public CRcLamp
{
public:
    CInButton(int top, int bottom, const QString &text, Pane *owner);

    void Draw(QPainter &painter) const override;
    /// Switches off, clearing the hover highlight too, and repaints.
    void SwitchOff();
    /// Repaints the button in its owner pane.
    void Invalidate() const;

    Pane *m_owner = nullptr;
};

} // namespace orinsub::controls
