#include "CueReadout.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orinsub::controls {

namespace {

const QString kCurrentCaption = QStringLiteral("キュー");
const QString kNextCaption = QStringLiteral("次");
const QString kNone = QStringLiteral("—");
const QColor kCaptionColor(127, 127, 127);
const QColor kCurrentColor(255, 255, 255);
const QColor kNextColor(192, 255, 192);
const QColor kIdleColor(127, 127, 127); // the desk plays by hand
const QColor kBarGroove(0, 0, 0);
const QColor kBarFill(0, 191, 0);
constexpr int kPointSize = 90;
constexpr int kCaptionWidth = 44;
constexpr int kCueWidth = 300; // a caption and its cue
constexpr int kBarWidth = 100;
constexpr int kGap = 10;

} // namespace

CCueReadout::CCueReadout(const QRect &rect, Pane *owner) : m_rect(rect), m_owner(owner) {}

int CCueReadout::BarWidth(double progress) const
{
    return static_cast<int>(std::lround(std::clamp(progress, 0.0, 1.0) * (kBarWidth - 2)));
}

QRect CCueReadout::BarRect() const
{
    return QRect(m_rect.x() + 2 * kCueWidth + kGap, m_rect.y() + 3, kBarWidth, m_rect.height() - 6);
}

void CCueReadout::Show(const CueReadoutState &state)
{
    if (state == m_state)
        return;
    // The fade's progress alone repaints the bar alone, and only when a pixel changes.
    const bool onlyProgress = [&] {
        CueReadoutState same = state;
        same.progress = m_state.progress;
        return same == m_state;
    }();
    const bool barMoved = BarWidth(state.progress) != BarWidth(m_state.progress);
    m_state = state;
    if (!m_owner || (onlyProgress && !barMoved))
        return;
    const QRect dirty = onlyProgress ? BarRect() : m_rect;
    m_owner->InvalidateRect(dirty.translated(-m_owner->GetScrollPosition()));
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

    const QRect bar = BarRect();
    painter.fillRect(bar, kBarGroove);
    painter.fillRect(QRect(bar.x() + 1, bar.y() + 1, BarWidth(m_state.progress), bar.height() - 2),
                     kBarFill);

    painter.setPen(kPickUpMarkColor);
    const int messageLeft = RightOf(bar) + kGap;
    const QRect message(messageLeft, m_rect.y(), RightOf(m_rect) - messageLeft, m_rect.height());
    painter.drawText(
        message, flags,
        painter.fontMetrics().elidedText(m_state.message, Qt::ElideRight, message.width()));
}

} // namespace orinsub::controls
