#pragma once

#include "MasterFader.h"
#include "RowState.h"

namespace orinsub::controls {

class CCrossFader;

/// One handle of the crossfader: handle A (index 0) weighs row A in the output, handle B
/// (index 1, drawn upside down) row B. It drives its row's on-air state through its pair.
class CCross1Fader : public CMasterFader
{
public:
    /// As any master fader, then tells the pair (which starts or ends the linked follow).
    void SetSelected(bool select, QPoint point) override;
    /// Drags relatively and reports the move to the pair.
    void DragTo(QPoint point);
    /// Sets the level as a drag step does and reports the move to the pair.
    void MoveTo(uint8_t level);
    /// The artwork ids unlinked and linked, normal and selected.
    void SetBitmaps(int normal, int linkedNormal, int selected, int linkedSelected);
    /// Switches to the larger linked artwork (true) or back; the knob's size follows it.
    void UseLinkedBitmaps(bool linked);
    RowState GetOnAirState() const { return RowStateAt(m_level); }
    bool IsFollowing() const { return m_following; }
    /// Starts (grabbing at point) or ends being dragged along by the other, selected handle.
    void SetFollowing(bool follow, QPoint point = QPoint());
    void SetOwner(CCrossFader *owner) { m_owner = owner; }
    /// As SetGeometry, then the knob and groove sit beside the track's centre so that the two
    /// handles' knobs meet in the middle: half(width) - half(knobSize), mirrored when inverted.
    void SetHandleGeometry(int x, int y, int travel, int width, int height, int knobSize);
    void SetHandleIndex(int index) { m_handleIndex = index; }
    void SetInverted(bool inverted) { m_inverted = inverted; }

protected:
    /// A following handle shows its selected artwork too.
    int CurrentBitmap() const override;

private:
    int m_handleIndex = 0;
    bool m_following = false;
    int m_bmpNormal = 0;
    int m_bmpSelected = 0;
    int m_bmpLinkedNormal = 0;
    int m_bmpLinkedSelected = 0;
    CCrossFader *m_owner = nullptr;
};

} // namespace orinsub::controls
