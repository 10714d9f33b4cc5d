#include "CrossFader.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>
#include <algorithm>

namespace orinsub::controls {

CCrossFader::CCrossFader()
{
    m_handleA.SetHandleIndex(0);
    m_handleB.SetHandleIndex(1);
    m_handleA.SetOwner(this);
    m_handleB.SetOwner(this);
    m_handleB.SetInverted(true);
    SetBitmaps({kKnobCrossA, kKnobCrossALinked, kKnobCrossASelected, kKnobCrossALinkedSelected,
                kKnobCrossB, kKnobCrossBLinked, kKnobCrossBSelected, kKnobCrossBLinkedSelected});
}

void CCrossFader::SetBitmaps(const int (&ids)[8])
{
    m_handleA.SetBitmaps(ids[0], ids[1], ids[2], ids[3]);
    m_handleB.SetBitmaps(ids[4], ids[5], ids[6], ids[7]);
}

void CCrossFader::SetView(Pane *view)
{
    m_view = view;
    m_handleA.SetView(view);
    m_handleB.SetView(view);
}

void CCrossFader::SetGeometry(int x, int y, int travel, int width, int height)
{
    const int q = width / 4;
    const int h = Half(width);
    m_handleA.SetHandleGeometry(x - q, y, travel, h, height, m_knobSize);
    m_handleB.SetHandleGeometry(x + q, y, travel, h, height, m_knobSize);
    m_handleB.SetLevel(255);
}

void CCrossFader::InvalidateLogical(const QRect &logical) const
{
    if (m_view && !logical.isEmpty())
        m_view->InvalidateRect(logical.translated(-m_view->GetScrollPosition()));
}

void CCrossFader::OnHandleSelected(bool select, QPoint point)
{
    if (select == m_handleGrabbed)
        return;
    m_handleGrabbed = select;
    if (!m_linked)
        return;
    CCross1Fader *changed = nullptr;
    if (select) {
        if (m_handleA.IsSelected())
            changed = &m_handleB;
        else if (m_handleB.IsSelected())
            changed = &m_handleA;
        if (changed)
            changed->SetFollowing(true, point);
    } else {
        if (m_handleA.IsFollowing())
            changed = &m_handleA;
        else if (m_handleB.IsFollowing())
            changed = &m_handleB;
        if (changed)
            changed->SetFollowing(false);
    }
}

void CCrossFader::OnHandleMoved(int handle, uint8_t level)
{
    if (m_onMoved)
        m_onMoved(handle, level);
}

void CCrossFader::SetLinked(bool linked, QPoint cursor)
{
    if (linked == m_linked)
        return;
    m_linked = linked;
    QRect before;
    if (linked) {
        m_handleA.UseLinkedBitmaps(true);
        m_handleB.UseLinkedBitmaps(true);
        before = m_handleA.GetKnobRect().united(m_handleB.GetKnobRect());
        CCross1Fader *grabbed = m_handleA.IsSelected()   ? &m_handleA
                                : m_handleB.IsSelected() ? &m_handleB
                                                         : nullptr;
        if (grabbed) {
            CCross1Fader *other = grabbed == &m_handleA ? &m_handleB : &m_handleA;
            grabbed->SetSelected(true, cursor);
            other->SetFollowing(true, cursor);
        }
    } else {
        before = m_handleA.GetKnobRect().united(m_handleB.GetKnobRect());
        m_handleA.UseLinkedBitmaps(false);
        m_handleB.UseLinkedBitmaps(false);
        for (CCross1Fader *handle : {&m_handleA, &m_handleB}) {
            if (handle->IsFollowing())
                handle->SetFollowing(false);
        }
    }
    if (m_view)
        m_view->InvalidateRect(before);
    InvalidateLogical(GetLinkRect());
}

void CCrossFader::DragTo(QPoint point)
{
    const QRect before = GetLinkRect();
    for (CCross1Fader *handle : {&m_handleA, &m_handleB}) {
        if (handle->IsSelected() || handle->IsFollowing())
            handle->DragTo(point);
    }
    InvalidateLogical(before.united(GetLinkRect()));
}

void CCrossFader::MoveHandlesTo(uint8_t levelA, uint8_t levelB)
{
    const QRect before = GetLinkRect();
    m_handleA.MoveTo(levelA);
    m_handleB.MoveTo(levelB);
    InvalidateLogical(before.united(GetLinkRect()));
}

QRect CCrossFader::GetLinkRect() const
{
    const QRect a = m_handleA.GetKnobRect();
    const QRect b = m_handleB.GetKnobRect();
    const int ay = (a.y() + BottomOf(a)) / 2;
    const int by = (b.y() + BottomOf(b)) / 2;
    const QPoint scroll = m_view ? m_view->GetScrollPosition() : QPoint();
    return RectLTRB(RightOf(a) - 1, std::min(ay, by), b.x() + 1, std::max(ay, by))
        .translated(scroll);
}

void CCrossFader::Draw(QPainter &painter) const
{
    const CCross1Fader &a = m_handleA;
    const CCross1Fader &b = m_handleB;
    a.Draw(painter);
    b.Draw(painter);

    painter.setFont(ConsoleFont(100));
    painter.setPen(kScaleTextColor);
    const int aLeft = a.GetX() - Half(a.GetWidth());
    const int cy = a.GetY() + Half(a.GetHeight()) - 9;
    QRect box = RectLTRB(aLeft - 21, cy - 8, aLeft - 1, cy + 8);
    const int step = Half(a.GetTravel());
    const int right = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
    const int left = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.drawText(box, right, QStringLiteral("0"));
    box.translate(0, -step);
    painter.drawText(box, right, QStringLiteral("50"));
    box.translate(0, -step);
    painter.drawText(box, right, QStringLiteral("100"));
    box.translate(2 * a.GetWidth() + 23, 0);
    painter.drawText(box, left, QStringLiteral("0"));
    box.translate(0, Half(b.GetTravel()));
    painter.drawText(box, left, QStringLiteral("50"));
    box.translate(-2, Half(b.GetTravel()));
    painter.drawText(box, left, QStringLiteral("100"));

    painter.setFont(ConsoleFont(160));
    const int letterX = a.GetX() + a.GetKnobOffsetX();
    const int letterY = a.GetY() + Half(a.GetKnobHeight()) + Half(a.GetHeight()) + 4;
    QRect letterBox = RectLTRB(letterX - 30, letterY - 30, letterX + 30, letterY + 30);
    const int center = Qt::AlignCenter | Qt::TextSingleLine;
    painter.drawText(letterBox, center, QStringLiteral("A"));
    letterBox.translate(b.GetKnobOffsetX() - a.GetKnobOffsetX() + a.GetWidth(), 0);
    painter.drawText(letterBox, center, QStringLiteral("B"));

    if (m_linked)
        painter.fillRect(GetLinkRect(), kLinkBarColor);
}

} // namespace orinsub::controls
