#include "PatchHeaderView.h"

#include "PatchLook.h"

#include <QPaintEvent>
#include <QPainter>

namespace orinsub::patch {

CPatchHeaderView::CPatchHeaderView(QWidget *parent) : QWidget(parent)
{
    QFont captionFont = font();
    captionFont.setPointSizeF(kGridPointSize);
    setFont(captionFont);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPatchHeaderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), kBackground);
    painter.fillRect(kRuleX, 0, kRuleWidth, kHeaderFillHeight, kRuleColour);
    painter.setPen(kCaptionColour);
    constexpr int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip;
    painter.drawText(QRect(kMarkCaptionLeft, 5, kMarkCaptionWidth, 25), flags,
                     QString::fromUtf8(kIndependentCaption));
    painter.drawText(QRect(50, 5, 30, 25), flags, QString::fromUtf8(kChannelCaption));
    painter.drawText(QRect(120, 5, 30, 25), flags, QString::fromUtf8(kDimmerCaption));
    painter.fillRect(0, kHeaderSeparatorY, kGridWidth, 1, kSeparatorColour);
}

} // namespace orinsub::patch
