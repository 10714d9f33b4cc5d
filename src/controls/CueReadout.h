#pragma once

#include "Indicator.h"

#include <QRect>
#include <QString>

class QPainter;

namespace orinsub::controls {

class Pane;

/// What the cue readout shows: the cue on stage and the next one ("12 夕景"; empty for none),
/// how far the running fade has come and what is left of it, and a word to the operator.
struct CueReadoutState
{
    bool playing = false; // the crossfader is handed to the cue list
    QString current;
    QString next;
    double progress = 0.0; // 0..1 of the running fade; 0 while none runs
    QString remaining;     // "残り 1:30.0"; empty while no fade runs
    QString message;

    bool operator==(const CueReadoutState &) const = default;
};

/// One line of the master pane that shows where the cue list stands. Not a widget: its pane
/// draws it; it repaints in the pane only the part whose content changed (the bar, the time left
/// or the texts), so a running fade repaints the bar and the time beside it alone.
class CCueReadout
{
public:
    /// rect in the pane's logical coordinates.
    CCueReadout(const QRect &rect, Pane *owner);

    void Show(const CueReadoutState &state);
    const CueReadoutState &GetState() const { return m_state; }
    QRect GetRect() const { return m_rect; }
    /// Where the time left of the running fade stands, in the pane's logical coordinates.
    QRect GetRemainingRect() const;
    void Draw(QPainter &painter) const;

private:
    void Invalidate(const QRect &logical) const;

    QRect m_rect;
    Pane *m_owner;
    CueReadoutState m_state;
    CProgressBar m_bar; // repaints itself, only when a pixel of it changes
};

} // namespace orinsub::controls
