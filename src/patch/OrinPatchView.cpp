#include "OrinPatchView.h"

#include "PatchLook.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <bitset>

namespace orinsub::patch {

namespace {
// Text may be a little wider than its box in some faces: never cut a digit.
constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip;
constexpr int kTextOverhang = 10;
void DrawMark(QPainter &painter, const QRect &box, bool independent)
{
    if (independent)
        painter.fillRect(box, kIndependentColour);
    painter.setPen(kMarkFrameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
}
} // namespace

COrinPatchView::COrinPatchView(QWidget *parent)
    : QAbstractScrollArea(parent), m_scrollHeight(kGridFillHeight)
{
    setFrameShape(QFrame::NoFrame);
    QFont gridFont = font();
    gridFont.setPointSizeF(kGridPointSize);
    setFont(gridFont);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    LayOut();
    ApplyScrollSizes();
}

void COrinPatchView::Refresh()
{
    LayOut();
    ApplyScrollSizes();
    viewport()->update();
}

void COrinPatchView::ScrollToChannel(int channelIndex)
{
    if (channelIndex < 0 || channelIndex >= model::kChannelObjects)
        return;
    const int y = RowTop(channelIndex);
    const int top = verticalScrollBar()->value();
    if (y >= top && y <= top + kGridPageHeight)
        return;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(y);
}

QRect COrinPatchView::MarkBox(int channelIndex) const
{
    return QRect(kMarkLeft, RowTop(channelIndex) + kMarkTop, kMarkSize, kMarkSize);
}

QPoint COrinPatchView::ScrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void COrinPatchView::mousePressEvent(QMouseEvent *event)
{
    const model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (event->button() != Qt::LeftButton || !doc || !LayOut())
        return;
    const QPoint logical = event->position().toPoint() + ScrollPosition();
    for (int i = 0; i < doc->m_channelCount; ++i) {
        const QRect reach = MarkBox(i).adjusted(-kMarkReach, -kMarkReach, kMarkReach, kMarkReach);
        if (reach.contains(logical)) {
            emit IndependentMarkClicked(i + 1);
            return;
        }
    }
}

bool COrinPatchView::LayOut()
{
    const model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (!doc)
        return false;
    m_layout.LayOut(*doc);
    return true;
}

void COrinPatchView::ApplyScrollSizes()
{
    m_scrollHeight = m_layout.ContentHeight();
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, kScrollWidth - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(kScrollWidth / 100);
    verticalScrollBar()->setRange(0, std::max(0, m_scrollHeight - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(std::max(1, m_scrollHeight / 100));
}

void COrinPatchView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    ApplyScrollSizes();
}

void COrinPatchView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy); // only the uncovered strip gets painted
}

void COrinPatchView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    // The show may have changed behind the window's back (New, Open): draw what it holds now.
    if (!LayOut())
        return;
    const model::COrinSUBDoc &doc = *model::g_orin.m_pDoc;

    const QPoint scroll = ScrollPosition();
    painter.translate(-scroll);
    const QRect exposed = event->rect().translated(scroll);
    painter.fillRect(QRect(kRuleX, 0, kRuleWidth, kGridFillHeight).intersected(exposed),
                     kRuleColour);

    std::bitset<model::kDimmers + 1> selected;
    for (int32_t d : doc.m_patchSelection) {
        if (d >= 1 && d <= model::kDimmers)
            selected.set(d);
    }
    painter.setFont(font());
    for (const CPatchGridLayout::Cell &cell : m_layout.Cells()) {
        if (!cell.box.adjusted(-kTextOverhang, 0, kTextOverhang, 0).intersects(exposed))
            continue;
        QString text;
        if (cell.dimmer == 0) {
            painter.setPen(kCaptionColour);
            text = cell.channelIndex < doc.m_channelCount ? QString::number(cell.channelIndex + 1)
                                                          : QString::fromUtf8(kSpareChannelLabel);
        } else {
            const bool isSelected =
                cell.dimmer >= 1 && cell.dimmer <= model::kDimmers && selected.test(cell.dimmer);
            painter.setPen(isSelected ? kSelectedDimmerColour : kDimmerColour);
            text = QString::number(cell.dimmer);
        }
        painter.drawText(cell.box, kTextFlags, text);
    }
    for (int i = 0; i < doc.m_channelCount && i < model::kChannelObjects; ++i) {
        const QRect box = MarkBox(i);
        if (box.intersects(exposed))
            DrawMark(painter, box, doc.m_extension.IsIndependent(i + 1));
    }
    for (const QRect &separator : m_layout.Separators()) {
        if (separator.intersects(exposed))
            painter.fillRect(separator, kSeparatorColour);
    }

    if (m_layout.ContentHeight() != m_scrollHeight) {
        // Not while painting: new scroll bar ranges may resize the viewport.
        m_scrollHeight = m_layout.ContentHeight();
        QMetaObject::invokeMethod(this, &COrinPatchView::ApplyScrollSizes, Qt::QueuedConnection);
    }
}

} // namespace orinsub::patch
