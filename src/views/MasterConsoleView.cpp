#include "MasterConsoleView.h"

#include "ChaseFollower.h"
#include "ConsoleFrame.h"
#include "ConsoleKeys.h"
#include "ConsoleOperations.h"
#include "ConsoleTexts.h"
#include "DeskWatch.h"
#include "GoFade.h"
#include "InputPickUp.h"
#include "LiveControls.h"
#include "UndoLastEdit.h"
#include "controls/ConsoleLook.h"
#include "controls/CrossFader.h"
#include "controls/CueReadout.h"
#include "controls/FaderLabel.h"
#include "controls/FlashButton.h"
#include "controls/Geometry.h"
#include "controls/KeyState.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"
#include "model/ChasePlayer.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowLimits.h"
#include "model/UndoRecord.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace orinsub::views {

using controls::CSubFader;
using controls::RectLTRB;
using model::g_orin;

namespace {
constexpr int kAreaWidth = 1250;
// The flash buttons' row under the name boxes ends 2 pixels above the bottom, so the whole pane
// still fits a 1366 x 768 laptop screen under a window manager's title bar.
constexpr int kAreaHeight = 312;
const QColor kPageCaptionColor(191, 191, 191);
const QColor kPageNumberColor(255, 255, 0);
const QColor kNumberBoxEdge(127, 127, 191);
// The live controls beside the crossfader.
constexpr int kLiveGap = 6;
constexpr int kGrandMasterFoot = 16; // between the GM fader and the pane's bottom
constexpr int kGoRowDrop = 12;       // under the crossfader's letters
constexpr int kGoRowHeight = 32;
constexpr int kScaleWidth = 28; // the crossfader's scale numbers either side
} // namespace

CMasterConsoleView::CMasterConsoleView(model::COrinSUBDoc *doc, QWidget *parent)
    : NamedPane(QSize(kAreaWidth, kAreaHeight), parent), m_doc(doc),
      m_chases(std::make_unique<ChaseFollower>([this] { ShowChaseSpeeds(); })),
      m_crossFader(std::make_unique<controls::CCrossFader>()),
      m_goFade(std::make_unique<GoFade>(*m_crossFader)),
      m_pageUpLamp(std::make_unique<controls::CRcLamp>(1045, 75, 1075, 105, kPageUpText, this)),
      m_pageDownLamp(
          std::make_unique<controls::CRcLamp>(1045, 105, 1075, 135, kPageDownText, this)),
      m_inButton(std::make_unique<controls::CInButton>(60, 80, kInText, this)),
      m_cueReadout(std::make_unique<controls::CCueReadout>(RectLTRB(30, 1, 1030, 19), this)),
      m_pageRect(RectLTRB(1040, 40, 1080, 70)), m_pages(m_subFaders, doc), m_status(kAreaWidth)
{
    const int y = m_faderTop + m_faderHeight / 2;
    const int nameTop = m_faderTop + m_faderHeight + m_numberBand;
    const int flashTop = nameTop + m_nameHeight + m_flashGap;
    for (int i = 0; i < m_faderCount; ++i) {
        auto fader = std::make_unique<CSubFader>();
        fader->SetBitmap(controls::kKnobSub);
        fader->SetSelectedBitmap(controls::kKnobSubSelected);
        fader->SetView(this);
        fader->SetHost(this);
        fader->SetGeometry(m_leftMargin + m_faderPitch * i + m_faderPitch / 2, y, m_travel,
                           m_faderPitch, m_faderHeight);
        fader->SetTrackExtension(m_faderTop, m_numberBand + m_nameHeight);
        fader->SetPageNumber(1, i + 1);

        auto label = std::make_unique<controls::CFaderLabel>();
        label->SetParent(viewport());
        label->Create(m_leftMargin + m_faderPitch * i, nameTop, m_faderPitch, m_nameHeight);
        controls::CMyEdit *edit = label->GetEdit();
        RouteConsoleKeys(edit);
        connect(edit, &QPlainTextEdit::textChanged, this,
                [this, edit] { OnSubMasterNameChanged(edit); });
        connect(edit, &controls::CMyEdit::FocusEntered, this, [] { OnNameBoxFocus(); });
        fader->SetLabel(label.get());

        const int left = m_leftMargin + m_faderPitch * i;
        auto flash = std::make_unique<controls::CFlashButton>(
            RectLTRB(left + m_flashInset, flashTop, left + m_faderPitch - m_flashInset,
                     flashTop + m_flashHeight),
            this);
        fader->SetFlashButton(flash.get());
        m_subFaders.push_back(std::move(fader));
        m_nameLabels.push_back(std::move(label));
        m_flashButtons.push_back(std::move(flash));
    }

    m_crossFader->SetView(this);
    m_crossFader->SetGeometry(m_leftMargin + m_faderPitch * m_faderCount + m_crossGap +
                                  m_crossWidth / 2,
                              y, m_travel, m_crossWidth, m_faderHeight);
    m_crossFader->SetMovedHandler([this](int handle, uint8_t level) {
        OnCrossfaderMoved(handle, level);
        // Halfway through a move of both, the handles may stand where neither will end.
        if (!m_movingBothHandles)
            m_goFade->NoteHandles();
    });
    m_live = MakeLiveControls();
    m_pageUpLamp->SetOn(true);
    viewport()->setMouseTracking(true); // the page buttons light up under the mouse
    m_status.Place(GetClientRect());

    g_orin.m_pMasterView = this;
    g_orin.m_pMasterLevels = this;
    g_orin.m_pChases = &m_chases->Player();
    if (!g_orin.m_pDoc)
        g_orin.m_pDoc = m_doc;
}

CMasterConsoleView::~CMasterConsoleView()
{
    if (g_orin.m_pMasterView == this)
        g_orin.m_pMasterView = nullptr;
    if (g_orin.m_pMasterLevels == this)
        g_orin.m_pMasterLevels = nullptr;
    if (g_orin.m_pChases == &m_chases->Player())
        g_orin.m_pChases = nullptr;
}

std::unique_ptr<LiveControls> CMasterConsoleView::MakeLiveControls()
{
    // GM stands under the page buttons, in the page display's column, down to the flash row.
    const QRect gmColumn =
        RectLTRB(m_pageRect.x(), controls::BottomOf(m_pageDownLamp->GetRect()) + kLiveGap,
                 controls::RightOf(m_pageRect), kAreaHeight - kGrandMasterFoot);
    // The GO row lies under the crossfader's letters, from its left scale to its right one, and
    // above the status line.
    const int crossLeft = m_leftMargin + m_faderPitch * m_faderCount + m_crossGap;
    const int rowTop = m_faderTop + m_faderHeight + m_numberBand + kGoRowDrop;
    const QRect goRow = RectLTRB(crossLeft - kScaleWidth, rowTop,
                                 crossLeft + m_crossWidth + kScaleWidth, rowTop + kGoRowHeight);
    return std::make_unique<LiveControls>(*this, *m_goFade, gmColumn, goRow);
}

void CMasterConsoleView::OnInitialUpdate()
{
    InvalidateFlashButtons(); // the show's flash mode
    StepPage(false);
    m_status.Place(GetClientRect());
    m_ticker.Schedule(this, IsPickUpBusy());
}

void CMasterConsoleView::scrollContentsBy(int dx, int dy)
{
    ScrollPane::scrollContentsBy(dx, dy);
    // The status line stays in the client's corner while the content moves under it: repaint it
    // and wipe the copy that the scroll moved along.
    InvalidateRect(m_status.GetRect().translated(dx, dy));
    InvalidateStatus();
}

uint8_t CMasterConsoleView::GetCrossfaderLevel(int handle) const
{
    if (handle == 0)
        return m_crossFader->GetHandleA()->GetLevel();
    if (handle == 1)
        return m_crossFader->GetHandleB()->GetLevel();
    return 0;
}

model::SubFaderReading CMasterConsoleView::GetSubFaderReading(int index) const
{
    const CSubFader &fader = *m_subFaders.at(index);
    return {fader.GetLevel(), fader.GetPage(), fader.GetNumber(), fader.IsFlashHeld()};
}

CSubFader *CMasterConsoleView::GetSubFader(int index) const
{
    return index >= 0 && index < static_cast<int>(m_subFaders.size()) ? m_subFaders[index].get()
                                                                      : nullptr;
}

void CMasterConsoleView::InvalidateLogical(const QRect &logical)
{
    InvalidateRect(logical.translated(-GetScrollPosition()));
}

void CMasterConsoleView::StepPage(bool up)
{
    if (g_orin.m_pUndo)
        g_orin.m_pUndo->Clear();
    m_pages.Step(up);
    RefreshPage();
}

void CMasterConsoleView::RefreshPage()
{
    m_pageUpLamp->SetOn(m_pages.CanStep(true));
    m_pageDownLamp->SetOn(m_pages.CanStep(false));
    InvalidateLogical(m_pageRect);
    m_pages.Bind();
}

void CMasterConsoleView::RememberScrollAndClient()
{
    m_savedScrollPos = GetScrollPosition();
    m_savedClientRect = GetClientRect();
}

void CMasterConsoleView::ToggleCrossfaderLink()
{
    SetCrossfaderLinked(!m_crossFader->IsLinked());
}

void CMasterConsoleView::SetCrossfaderLinked(bool linked)
{
    m_crossFader->SetLinked(linked, m_lastMousePoint);
    if (g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->SetCrossfaderLinkChecked(m_crossFader->IsLinked());
}

void CMasterConsoleView::SetGrandMaster(uint8_t level)
{
    if (level == m_grandMaster)
        return;
    m_grandMaster = level;
    m_live->ShowGrandMaster(level);
    RecomputeWholeOutput();
}

void CMasterConsoleView::SetBlackout(bool on)
{
    if (on == m_blackout)
        return;
    m_blackout = on;
    m_live->ShowBlackout(on);
    RefreshStatus();
    RecomputeWholeOutput();
}

void CMasterConsoleView::RecomputeWholeOutput()
{
    model::RecomputeAllChannels();
    model::MixChannel(model::kSpareChannelIndex + 1);
    UpdateOutputDisplays();
    NotifyDeskChanged();
}

void CMasterConsoleView::MoveSubFaderTo(int index, uint8_t level)
{
    if (CSubFader *fader = GetSubFader(index))
        fader->MoveTo(level);
}

void CMasterConsoleView::HoldFlash(int index, bool held)
{
    CSubFader *fader = GetSubFader(index);
    if (!fader || fader->IsFlashHeld() == held)
        return;
    fader->SetFlashHeld(held);
    model::RecomputeAllChannels();
}

void CMasterConsoleView::InvalidateFlashButtons()
{
    for (const auto &button : m_flashButtons)
        button->Invalidate();
}

void CMasterConsoleView::ReleaseMouseFlash()
{
    if (m_mouseFlash < 0)
        return;
    HoldFlash(std::exchange(m_mouseFlash, -1), false);
}

void CMasterConsoleView::MoveCrossfaderHandle(int handle, uint8_t level)
{
    if (handle == 0 || handle == 1)
        MoveCrossfader(handle == 0 ? level : GetCrossfaderLevel(0),
                       handle == 1 ? level : GetCrossfaderLevel(1));
}

void CMasterConsoleView::MoveCrossfader(uint8_t levelA, uint8_t levelB)
{
    m_goFade->Stop();
    m_movingBothHandles = true;
    m_crossFader->MoveHandlesTo(levelA, levelB);
    m_movingBothHandles = false;
    m_goFade->NoteHandles();
}

void CMasterConsoleView::RestoreSubFaders(int page,
                                          std::span<const model::SubFaderReading> readings)
{
    m_pages.Restore(page, readings);
    RefreshPage();
    model::RecomputeAllChannels();
}

void CMasterConsoleView::OnSubMasterNameChanged(controls::CMyEdit *edit)
{
    for (int i = 0; i < static_cast<int>(m_nameLabels.size()); ++i) {
        if (m_nameLabels[i]->GetEdit() != edit)
            continue;
        const CSubFader &fader = *m_subFaders[i];
        if (model::CSubMaster *subMaster =
                m_doc ? m_doc->GetSubMaster(fader.GetPage(), fader.GetNumber()) : nullptr)
            m_doc->StoreTypedName(subMaster->m_name, edit->toPlainText());
        NotifyDeskChanged(); // a name box is a widget of its own: no repaint tells
        return;
    }
}

void CMasterConsoleView::FocusFirstName()
{
    controls::CMyEdit *edit = m_nameLabels.front()->GetEdit();
    edit->setFocus(Qt::TabFocusReason);
    edit->SelectAllText();
}

void CMasterConsoleView::InvalidateStatus()
{
    InvalidateRect(m_status.GetRect());
}

void CMasterConsoleView::RefreshStatus()
{
    const QRect before = m_status.GetRect();
    if (!m_status.Refresh(m_blackout, GetClientRect()))
        return;
    InvalidateRect(before);
    InvalidateStatus();
}

void CMasterConsoleView::OnTick()
{
    RefreshStatus();
    PickUpInput();
}

void CMasterConsoleView::PickUpInput()
{
    const InputPickUp pickUp = InputPickUp::Now();
    bool moved = false;
    for (int i = 0; i < m_faderCount; ++i) {
        CSubFader &fader = *m_subFaders[i];
        pickUp.Take(
            fader, i + 1, m_inButton->IsOn(),
            [&](uint8_t input) { moved |= fader.SetLevelAndRedraw(input); },
            [&] { InvalidateRect(fader.GetKnobRect()); });
    }
    if (moved)
        model::RecomputeAllChannels();
}

bool CMasterConsoleView::IsPickUpBusy() const
{
    return m_inButton->IsOn() || std::any_of(m_subFaders.begin(), m_subFaders.end(),
                                             [](const auto &f) { return f->IsHooked(); });
}

void CMasterConsoleView::WakePickUp()
{
    if (m_ticker.IsRunning())
        m_ticker.Schedule(this, IsPickUpBusy());
}

void CMasterConsoleView::HookAllSubFaders()
{
    for (const auto &fader : m_subFaders)
        fader->SetHooked(true);
    WakePickUp();
}

void CMasterConsoleView::ShowChaseSpeeds()
{
    const model::ChasePlayer &player = m_chases->Player();
    for (int i = 0; i < m_faderCount; ++i) {
        const int chase = player.LaneChase(i);
        m_nameLabels[i]->ShowBadge(chase ? ChaseSpeedText(player.GetBpm(chase)) : QString());
    }
}

void CMasterConsoleView::timerEvent(QTimerEvent *event)
{
    if (!m_ticker.IsTick(event->timerId())) {
        ScrollPane::timerEvent(event);
        return;
    }
    OnTick();
    m_ticker.Schedule(this, IsPickUpBusy());
}

void CMasterConsoleView::DrawNumberBoxes(QPainter &painter) const
{
    painter.setFont(controls::ConsoleFont(100));
    for (int i = 1; i <= m_faderCount; ++i) {
        const QRect box = RectLTRB(m_leftMargin + m_faderPitch * (i - 1), 214,
                                   m_leftMargin + m_faderPitch * i, 230);
        painter.fillRect(box, Qt::white);
        painter.setPen(kNumberBoxEdge);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, QString::number(i));
    }
}

void CMasterConsoleView::DrawPageDisplay(QPainter &painter) const
{
    painter.setFont(controls::ConsoleFont(120));
    painter.setPen(kPageCaptionColor);
    painter.drawText(RectLTRB(1040, 20, 1080, 40), Qt::AlignCenter | Qt::TextSingleLine,
                     kPageCaption);
    painter.fillRect(m_pageRect, Qt::black);
    painter.setFont(controls::ConsoleFont(200));
    painter.setPen(kPageNumberColor);
    painter.drawText(m_pageRect, Qt::AlignCenter | Qt::TextSingleLine,
                     QStringLiteral("%1").arg(m_pages.GetPage(), 2, 10, QLatin1Char('0')));
}

void CMasterConsoleView::OnDraw(QPainter &painter, const QRect &exposed)
{
    painter.fillRect(exposed, controls::kPaneBackground);
    for (const auto &fader : m_subFaders)
        fader->Draw(painter);
    DrawNumberBoxes(painter);
    const bool solo = IsFlashSolo();
    for (const auto &button : m_flashButtons) {
        if (button->GetRect().intersects(exposed))
            button->Draw(painter, solo);
    }
    DrawPageDisplay(painter);
    m_pageUpLamp->Draw(painter);
    m_pageDownLamp->Draw(painter);
    m_inButton->Draw(painter);
    if (m_cueReadout->GetRect().intersects(exposed))
        m_cueReadout->Draw(painter);
    m_crossFader->Draw(painter);
    m_live->Draw(painter, exposed);
    m_status.Draw(painter, GetScrollPosition());
}

void CMasterConsoleView::ButtonDown(QPoint p)
{
    setFocus(Qt::MouseFocusReason);
    RememberScrollAndClient();
    m_mouseDown = true;
    m_lastMousePoint = p;
    for (controls::CCross1Fader *handle :
         {m_crossFader->GetHandleA(), m_crossFader->GetHandleB()}) {
        if (handle->HitTest(p) != controls::FaderHit::None) {
            m_goFade->Stop(); // a grabbed handle stays in the operator's hand
            handle->SetSelected(true, p);
            return;
        }
    }
    if (m_live->Press(p))
        return;
    for (const auto &fader : m_subFaders) {
        const controls::FaderHit hit = fader->HitTest(p);
        if (hit == controls::FaderHit::Knob) {
            fader->SetSelected(true, p);
            return;
        }
        if (hit == controls::FaderHit::Track) {
            if (g_orin.m_pMainFrame) {
                // The main window takes the mouse and sees the release, so the pane must not
                // wait for it (the page buttons' hover would stay off).
                m_mouseDown = false;
                g_orin.m_pMainFrame->BeginSubMasterDrag(fader.get(), p);
            }
            return;
        }
    }
    const QPoint logical = p + GetScrollPosition();
    for (int i = 0; i < m_faderCount; ++i) {
        if (m_flashButtons[i]->GetRect().contains(logical)) {
            ReleaseMouseFlash(); // a second button's press without a release between
            m_mouseFlash = i;
            HoldFlash(i, true);
            return;
        }
    }
    if (m_pageUpLamp->IsOn() && m_pageUpLamp->GetRect().contains(logical)) {
        StepPage(true);
        return;
    }
    if (m_pageDownLamp->IsOn() && m_pageDownLamp->GetRect().contains(logical)) {
        StepPage(false);
        return;
    }
    if (m_inButton->GetRect().contains(logical))
        ToggleInputHook(InputTarget::SubMasters);
}

void CMasterConsoleView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ButtonDown(event->position().toPoint());
}

void CMasterConsoleView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    if (m_crossFader->GetHandleA()->HitTest(p) != controls::FaderHit::None ||
        m_crossFader->GetHandleB()->HitTest(p) != controls::FaderHit::None) {
        ToggleCrossfaderLink();
        ButtonDown(p);
        return;
    }
    if (!m_inButton->GetRect().contains(p + GetScrollPosition())) {
        ButtonDown(p); // a quick second press elsewhere is a press like any other
        return;
    }
    m_inButton->SetOn(true);
    ExclusiveInputHook(InputTarget::SubMasters);
    if (ConfirmHookAll(InputTarget::SubMasters))
        HookAllSubFaders();
}

void CMasterConsoleView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_lastMousePoint = p;
    if (!m_mouseDown) {
        const QPoint logical = p + GetScrollPosition();
        for (controls::CRcLamp *lamp : {m_pageUpLamp.get(), m_pageDownLamp.get()}) {
            if (lamp->IsOn())
                lamp->SetHover(lamp->GetRect().contains(logical));
        }
    }
    for (const auto &fader : m_subFaders) {
        if (fader->IsSelected()) {
            fader->DragTo(p);
            return;
        }
    }
    if (m_crossFader->IsHandleGrabbed())
        m_crossFader->DragTo(p);
    m_live->DragTo(p);
}

void CMasterConsoleView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mouseDown = false;
    ReleaseMouseFlash(); // wherever the mouse is let go
    m_live->Release();
    for (controls::CCross1Fader *handle :
         {m_crossFader->GetHandleA(), m_crossFader->GetHandleB()}) {
        if (handle->IsSelected())
            handle->SetSelected(false, QPoint());
    }
    for (const auto &fader : m_subFaders) {
        if (fader->IsSelected())
            fader->SetSelected(false, QPoint());
    }
}

void CMasterConsoleView::focusOutEvent(QFocusEvent *event)
{
    // Another window (a question) took over while the mouse held a flash button: its release
    // will not come here.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        ReleaseMouseFlash();
        m_live->Release(); // nor may a blackout press held then complete on its own
    }
    NamedPane::focusOutEvent(event);
}

void CMasterConsoleView::wheelEvent(QWheelEvent *event)
{
    if (m_live->Wheel(event->position().toPoint(), event->angleDelta().y()))
        event->accept();
    else
        NamedPane::wheelEvent(event);
}

} // namespace orinsub::views
