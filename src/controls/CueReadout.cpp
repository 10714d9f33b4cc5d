#include "CueReadout.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

namespace {

const QString kCurrentCaption = QStringLiteral("キュー");
const QString kNextCaption = QStringLiteral("次");
const QString kNone = QStringLiteral("—");
const QColor kCaptionColor(127, 127, 127);
const QColor kCurrentColor(255, 255, 255);
const QColor kNextColor(192, 255, 192);
const QColor kIdleColor(127, 127, 127); // the desk plays by hand
const QColor kBarFill(0, 191, 0);
constexpr int kPointSize = 90;
constexpr int kCaptionWidth = 44;
constexpr int kCueWidth = 300; // a caption and its cue
constexpr int kBarWidth = 100;
constexpr int kRemainingWidth = 80; // "残り 59:59.9"
constexpr int kGap = 10;

/// The bar beside the two cues.
QRect BarRect(const QRect &line)
{
    return QRect(line.x() + 2 * kCueWidth + kGap, line.y() + 3, kBarWidth, line.height() - 6);
}

} // namespace

CCueReadout::CCueReadout(const QRect &rect, Pane *owner)
    : m_rect(rect), m_owner(owner), m_bar(BarRect(rect), kBarFill, owner)
{
}

void CCueReadout::Show(const CueReadoutState &state)
{
    if (state == m_state)
        return;
    CueReadoutState text = state;
    text.progress = m_state.progress;
    text.remaining = m_state.remaining;
    const bool textChanged = !(text == m_state);
    const bool remainingChanged = state.remaining != m_state.remaining;
    m_state = state;
    m_bar.SetShare(state.progress);
    if (textChanged)
        Invalidate(m_rect);
    else if (remainingChanged)
        Invalidate(GetRemainingRect());
}

QRect CCueReadout::GetRemainingRect() const
{
    return QRect(RightOf(m_bar.GetRect()) + kGap, m_rect.y(), kRemainingWidth, m_rect.height());
}

void CCueReadout::Invalidate(const QRect &logical) const
{
    if (m_owner)
        m_owner->InvalidateRect(logical.translated(-m_owner->GetScrollPosition()));
}

void CCueReadout::Draw(QPainter &painter) const
{
    painter.fillRect(m_rect, kPaneBackground);
    painter.setFont(ConsoleFont(kPointSize));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    auto cueAt = [&](int x, const QString &caption, const QString &cue, const QColor &colour) {
        painter.setPen(kCaptionColor);
        painter.drawText(QRect(x, m_rect.y(), kCaptionWidth, m_rect.height()), flags, caption);
        painter.setPen(m_state.playing ? colour : kIdleColor);
        const QRect box(x + kCaptionWidth, m_rect.y(), kCueWidth - kCaptionWidth - kGap,
                        m_rect.height());
        painter.drawText(box, flags,
                         painter.fontMetrics().elidedText(cue.isEmpty() ? kNone : cue,
                                                          Qt::ElideRight, box.width()));
    };
    cueAt(m_rect.x(), kCurrentCaption, m_state.current, kCurrentColor);
    cueAt(m_rect.x() + kCueWidth, kNextCaption, m_state.next, kNextColor);

    m_bar.Draw(painter);

    const QRect remaining = GetRemainingRect();
    painter.fillRect(remaining, kPaneBackground);
    painter.setPen(kCurrentColor);
    painter.drawText(remaining, flags, m_state.remaining);

    painter.setPen(kPickUpMarkColor);
    const int messageLeft = RightOf(remaining) + kGap;
    const QRect message(messageLeft, m_rect.y(), RightOf(m_rect) - messageLeft, m_rect.height());
    painter.drawText(
        message, flags,
        painter.fontMetrics().elidedText(m_state.message, Qt::ElideRight, message.width()));
}

} // namespace orinsub::controls
