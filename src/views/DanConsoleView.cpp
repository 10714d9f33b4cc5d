#include "DanConsoleView.h"

#include "ConsoleFrame.h"
#include "ConsoleKeys.h"
#include "ConsoleOperations.h"
#include "ConsoleTexts.h"
#include "DeskWatch.h"
#include "InputPickUp.h"
#include "LampConsoleView.h"
#include "MasterConsoleView.h"
#include "UndoLastEdit.h"
#include "controls/ConsoleLook.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/FaderLabel.h"
#include "controls/Geometry.h"
#include "controls/KeyState.h"
#include "controls/LvDisp.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowLimits.h"
#include "model/UndoRecord.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace orinsub::views {

using controls::CDan;
using controls::CDanFader;
using model::g_orin;

namespace {
constexpr int kScrollWidth = 40 * model::kConsoleChannels + 2 * 4;
constexpr int kFastScrollColumns = 15;
constexpr int kNumberBandHeight = 10;
// The knob is this much shorter than its track; a fader is never shorter than kMinFaderHeight.
constexpr int kTrackBeyondTravel = 146 - 124;
constexpr int kMinFaderHeight = 80;
} // namespace

CDanConsoleView::CDanConsoleView(model::COrinSUBDoc *doc, QWidget *parent)
    : NamedPane(QSize(kScrollWidth, 0), parent), m_doc(doc)
{
    for (int r = 0; r < 2; ++r) {
        auto row = std::make_unique<CDan>();
        row->SetIndex(r);
        row->SetState(r == 0 ? controls::RowState::OffAir : controls::RowState::OnAir);
        for (int k = 1; k <= m_channelCount; ++k) {
            auto fader = std::make_unique<CDanFader>();
            fader->SetRow(row.get());
            fader->SetChannel(k);
            fader->SetView(this);
            fader->SetReadoutAtTop(m_readoutAtTop);
            const bool tenth = k % 10 == 0;
            fader->SetBitmap(tenth ? controls::kKnobTenth : controls::kKnobChannel);
            fader->SetSelectedBitmap(tenth ? controls::kKnobTenthSelected
                                           : controls::kKnobChannelSelected);
            row->AddFader(fader.get());
            m_faders.push_back(std::move(fader));
        }
        m_rows.push_back(std::move(row));
    }

    for (int j = 1; j <= m_channelCount; ++j) {
        auto readout = std::make_unique<controls::CChanLvDisp>();
        readout->SetRect(controls::RectLTRB(40 * j - 33, 3, 40 * j + 1, 26));
        readout->SetView(this);
        readout->m_zeroText = QStringLiteral("--");
        readout->m_smallWithLeadingZero = true;
        readout->m_textColor = QColor(127, 255, 0);
        readout->m_backColor = QColor(0, 0, 0);
        readout->m_pointSize = 140;
        m_outputDisplays.push_back(std::move(readout));

        auto label = std::make_unique<controls::CFaderLabel>();
        label->SetNumber(j);
        label->SetParent(viewport());
        label->Create(0, 0, m_faderPitch, m_nameHeight); // placed by LayOutRows
        controls::CMyEdit *edit = label->GetEdit();
        RouteConsoleKeys(edit);
        connect(edit, &QPlainTextEdit::textChanged, this,
                [this, edit] { OnChannelNameChanged(edit); });
        connect(edit, &controls::CMyEdit::FocusEntered, this, [] { OnNameBoxFocus(); });
        // The name box's own edit menu, with the channel's setting after it.
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this, [this, edit, j](QPoint at) {
            PopUpChannelMenu(edit->createStandardContextMenu(at), j,
                             edit->viewport()->mapToGlobal(at));
        });
        m_nameLabels.push_back(std::move(label));
    }
    LayOutRows();

    g_orin.m_pDanView = this;
    g_orin.m_pRowLevels = this;
    if (!g_orin.m_pDoc)
        g_orin.m_pDoc = m_doc;
}

CDanConsoleView::~CDanConsoleView()
{
    if (g_orin.m_pDanView == this)
        g_orin.m_pDanView = nullptr;
    if (g_orin.m_pRowLevels == this)
        g_orin.m_pRowLevels = nullptr;
}

int CDanConsoleView::GetRowCentre(int row) const
{
    return m_faderTop + m_faderHeight / 2 + row * (m_faderHeight + m_rowGap);
}

void CDanConsoleView::OnClientResized()
{
    // The default window leaves the rows exactly their height with the scroll bar under them;
    // every pixel more or less goes to the faders, half to each row.
    const int natural = kDefaultPaneHeight - horizontalScrollBar()->sizeHint().height();
    const int height =
        std::max(kMinFaderHeight, kDefaultFaderHeight + (GetClientRect().height() - natural) / 2);
    if (height == m_faderHeight)
        return;
    m_faderHeight = height;
    m_travel = height - kTrackBeyondTravel;
    LayOutRows();
    if (m_onRowsMoved)
        m_onRowsMoved();
}

void CDanConsoleView::LayOutRows()
{
    for (const auto &f : m_faders) {
        const int k = f->GetChannel();
        f->SetGeometry(m_leftMargin + m_faderPitch * (k - 1) + m_faderPitch / 2,
                       GetRowCentre(f->GetRow()->GetIndex()), m_travel, m_faderPitch,
                       m_faderHeight);
    }
    const int nameTop = m_faderTop + 2 * m_faderHeight + m_rowGap;
    for (int j = 0; j < m_channelCount; ++j)
        PlaceChild(m_nameLabels[j]->GetEdit(),
                   QRect(m_leftMargin + m_faderPitch * j, nameTop, m_faderPitch, m_nameHeight));
    SetScrollSize(QSize(kScrollWidth, nameTop + m_nameHeight));
    viewport()->update();
}

void CDanConsoleView::OnInitialUpdate()
{
    for (int i = 0; i < m_channelCount; ++i)
        m_nameLabels[i]->SetText(m_doc ? m_doc->Channel(i).GetName() : QString());
    m_ticker.Schedule(this, IsPickUpBusy());
}

QRect CDanConsoleView::GetLevelStripRect() const
{
    QRect strip;
    const QPoint scroll = GetScrollPosition();
    for (const auto &readout : m_outputDisplays)
        strip = strip.united(readout->GetRect().translated(-scroll));
    return strip.intersected(GetClientRect());
}

uint8_t CDanConsoleView::GetOutputDisplayLevel(int index) const
{
    return index >= 0 && index < static_cast<int>(m_outputDisplays.size())
               ? m_outputDisplays[index]->GetLevel()
               : 0;
}

void CDanConsoleView::SetOutputDisplayLevel(int index, uint8_t level)
{
    if (index >= 0 && index < static_cast<int>(m_outputDisplays.size()))
        m_outputDisplays[index]->SetLevel(level);
}

controls::CChanLvDisp *CDanConsoleView::GetOutputDisplay(int index) const
{
    return m_outputDisplays.at(index).get();
}

void CDanConsoleView::SetRowState(int row, controls::RowState state)
{
    if (CDan *dan = GetRow(row))
        dan->SetState(state);
}

uint8_t CDanConsoleView::GetRowLevel(int row, int channel) const
{
    const CDan *dan = GetRow(row);
    return dan && channel >= 1 && channel <= m_channelCount ? dan->GetChannelLevel(channel) : 0;
}

CDan *CDanConsoleView::GetRow(int index) const
{
    return index >= 0 && index < static_cast<int>(m_rows.size()) ? m_rows[index].get() : nullptr;
}

void CDanConsoleView::RecomputeAllChannels()
{
    model::RecomputeAllChannels();
}

void CDanConsoleView::HookRow(int row)
{
    if (const CDan *dan = GetRow(row)) {
        for (int i = 0; i < dan->GetFaderCount(); ++i)
            dan->GetFader(i)->SetHooked(true);
    }
    WakePickUp();
}

void CDanConsoleView::UpdateOutputDisplays()
{
    QRect changed;
    const QPoint scroll = GetScrollPosition();
    for (int i = 0; i < m_channelCount; ++i) {
        if (m_outputDisplays[i]->StoreLevel(model::s_channelLevels[i]))
            changed = changed.united(m_outputDisplays[i]->GetRect().translated(-scroll));
    }
    InvalidateRect(changed.intersected(GetLevelStripRect()));
}

void CDanConsoleView::ScrollIntoView(QWidget *widget)
{
    const QRect box(widget->mapToGlobal(QPoint()), widget->size());
    const QRect view(viewport()->mapToGlobal(QPoint()), viewport()->size());
    QPoint scroll = GetScrollPosition();
    // Screen pixels to client ones: a pane drawn smaller scrolls further for the same distance.
    auto client = [this](int pixels) { return static_cast<int>(std::ceil(pixels / GetZoom())); };
    if (box.left() < view.left())
        scroll.rx() -= client(view.left() - box.left());
    else if (controls::RightOf(box) > controls::RightOf(view))
        scroll.rx() += client(controls::RightOf(box) - controls::RightOf(view));
    else
        return;
    ScrollToPosition(scroll);
}

void CDanConsoleView::OnChannelNameChanged(controls::CMyEdit *edit)
{
    for (int i = 0; i < static_cast<int>(m_nameLabels.size()); ++i) {
        if (m_nameLabels[i]->GetEdit() == edit) {
            if (m_doc && i < m_doc->m_channelCount)
                m_doc->StoreTypedName(m_doc->Channel(i).m_name, edit->toPlainText());
            NotifyDeskChanged(); // a name box is a widget of its own: no repaint tells
            return;
        }
    }
}

void CDanConsoleView::OnTabInPane()
{
    if (g_orin.m_pMasterView)
        g_orin.m_pMasterView->FocusFirstName();
}

void CDanConsoleView::ScrollByFaders(bool toLeft, bool fast)
{
    int step = fast ? m_faderPitch * kFastScrollColumns : m_faderPitch;
    if (toLeft)
        step = -step;
    const QPoint scroll = GetScrollPosition();
    const int x = std::clamp(scroll.x() + step, 0, GetScrollSize().width());
    ScrollToPosition(QPoint(x, scroll.y()));
}

void CDanConsoleView::OnDraw(QPainter &painter, const QRect &exposed)
{
    painter.fillRect(exposed, controls::kPaneBackground);
    const QPoint scroll = GetScrollPosition();
    auto inSight = [&](const CDanFader &f) {
        return f.GetTrackRect().translated(scroll).intersects(exposed);
    };
    for (const auto &f : m_faders) {
        if (inSight(*f))
            f->Draw(painter);
    }
    for (const auto &f : m_faders) {
        const bool shown = f->IsSelected() || f->m_activity > 0 || f->GetRow()->GetShowReadouts();
        if (shown && f->GetReadoutRect().intersects(exposed))
            f->DrawReadout(painter);
    }
    const QFont numberFont = controls::ConsoleFont(100);
    QFont markFont = numberFont;
    markFont.setBold(true);
    for (const auto &f : m_faders) {
        const QRect band = NumberBand(*f);
        if (!band.intersects(exposed))
            continue;
        const bool independent = m_doc && m_doc->m_extension.IsIndependent(f->GetChannel());
        painter.setFont(independent ? markFont : numberFont);
        painter.setPen(independent ? controls::kIndependentMarkColor : controls::kScaleTextColor);
        painter.drawText(band, Qt::AlignCenter | Qt::TextSingleLine,
                         QString::number(f->GetChannel()));
    }
    for (const auto &readout : m_outputDisplays) {
        if (readout->GetRect().intersects(exposed))
            readout->Draw(painter);
    }
}

QRect CDanConsoleView::NumberBand(const CDanFader &fader) const
{
    const QRect track = fader.GetTrackRect().translated(GetScrollPosition());
    return QRect(track.x(), controls::BottomOf(track), track.width(), kNumberBandHeight);
}

void CDanConsoleView::InvalidateChannelMark(int channel)
{
    if (channel < 1 || channel > m_channelCount)
        return;
    const QPoint scroll = GetScrollPosition();
    for (int row = 0; row < 2; ++row)
        InvalidateRect(
            NumberBand(*m_faders[row * m_channelCount + channel - 1]).translated(-scroll));
}

void CDanConsoleView::contextMenuEvent(QContextMenuEvent *event)
{
    for (const auto &f : m_faders) {
        if (f->HitTest(event->pos()) != controls::FaderHit::None) {
            PopUpChannelMenu(new QMenu(this), f->GetChannel(), event->globalPos());
            return;
        }
    }
}

void CDanConsoleView::PopUpChannelMenu(QMenu *menu, int channel, QPoint global)
{
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!menu->isEmpty())
        menu->addSeparator();
    QAction *item = menu->addAction(kIndependentItem);
    item->setCheckable(true);
    item->setChecked(IsIndependentChannel(channel));
    connect(item, &QAction::triggered, this,
            [channel](bool checked) { SetIndependentChannel(channel, checked); });
    menu->popup(global);
}

void CDanConsoleView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    setFocus(Qt::MouseFocusReason);
    m_lastMousePoint = p;
    if (g_orin.m_pMasterView)
        g_orin.m_pMasterView->RememberScrollAndClient();
    for (const auto &f : m_faders) {
        const controls::FaderHit hit = f->HitTest(p);
        if (hit == controls::FaderHit::Knob) {
            f->SetSelected(true, p);
            break;
        }
        if (hit == controls::FaderHit::Track) {
            if (g_orin.m_pMainFrame)
                g_orin.m_pMainFrame->BeginRowDrag(f->GetRow(), p);
            break;
        }
    }
    if (GetLevelStripRect().contains(p) && g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->BeginOutputDrag(this, p);
}

void CDanConsoleView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const int scrollX = GetScrollPosition().x();
    bool mixed = false;
    for (const auto &f : m_faders) {
        if (f->GetRight() < scrollX || f->GetLeft() > scrollX + GetVisibleWidth())
            continue;
        if (f->IsSelected()) {
            if (g_orin.m_pUndo)
                g_orin.m_pUndo->Clear();
            f->DragTo(p);
            mixed |= MixIfOnAir(*f);
        } else if (f->GetRow()->GetSweep()) {
            const QRect knob = f->GetKnobRect();
            if (knob.contains(p) || controls::SegmentCrossesRect(m_lastMousePoint, p, knob))
                f->SetSelected(true, QPoint());
        }
    }
    if (mixed)
        UpdateOutputDisplays();
    m_lastMousePoint = p;
}

bool CDanConsoleView::MixIfOnAir(const CDanFader &fader)
{
    if (fader.GetRow()->GetState() != controls::RowState::OnAir)
        return false;
    model::MixChannel(fader.GetChannel());
    return true;
}

void CDanConsoleView::MoveFaderTo(int row, int index, uint8_t level)
{
    const CDan *dan = GetRow(row);
    if (!dan || index < 0 || index >= dan->GetFaderCount())
        return;
    if (g_orin.m_pUndo)
        g_orin.m_pUndo->Clear();
    CDanFader &fader = *dan->GetFader(index);
    fader.MoveTo(level);
    if (MixIfOnAir(fader))
        UpdateOutputDisplays();
}

void CDanConsoleView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (const auto &f : m_faders) {
        if (f->IsSelected())
            f->SetSelected(false, QPoint());
    }
}

bool CDanConsoleView::IsRowInputOn(int row) const
{
    const CLampConsoleView *strip = g_orin.m_pLampView;
    return strip && strip->GetInButton(row)->IsOn();
}

void CDanConsoleView::PickUpInput()
{
    const InputPickUp pickUp = InputPickUp::Now();
    const bool inputOn[2] = {IsRowInputOn(0), IsRowInputOn(1)};
    bool mixed = false;
    BeginInvalidationBatch();
    for (const auto &f : m_faders) {
        const CDan *row = f->GetRow();
        pickUp.Take(
            *f, f->GetChannel(), inputOn[row->GetIndex()],
            [&](uint8_t input) {
                const uint8_t before = f->GetLevel();
                f->SetLevelAndRedraw(input);
                if (row->GetState() == controls::RowState::OnAir && f->GetLevel() != before) {
                    model::MixChannel(f->GetChannel());
                    mixed = true;
                }
            },
            [&] {
                f->m_activity = 0;
                InvalidateRect(f->GetTrackRect());
            });
    }
    if (mixed)
        UpdateOutputDisplays();
    EndInvalidationBatch();
}

bool CDanConsoleView::IsPickUpBusy() const
{
    return IsRowInputOn(0) || IsRowInputOn(1) ||
           std::any_of(m_faders.begin(), m_faders.end(),
                       [](const auto &f) { return f->IsHooked(); });
}

void CDanConsoleView::WakePickUp()
{
    if (m_ticker.IsRunning())
        m_ticker.Schedule(this, IsPickUpBusy());
}

void CDanConsoleView::timerEvent(QTimerEvent *event)
{
    if (!m_ticker.IsTick(event->timerId())) {
        ScrollPane::timerEvent(event);
        return;
    }
    PickUpInput();
    m_ticker.Schedule(this, IsPickUpBusy());
}

} // namespace orinsub::views
