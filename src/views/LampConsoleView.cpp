#include "LampConsoleView.h"

#include "ConsoleKeys.h"
#include "ConsoleOperations.h"
#include "ConsoleTexts.h"
#include "DanConsoleView.h"
#include "DeskWatch.h"
#include "UndoLastEdit.h"
#include "controls/ConsoleLook.h"
#include "controls/Dan.h"
#include "controls/DanLamp.h"
#include "controls/RcLamp.h"
#include "model/OrinGlobal.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace orinsub::views {

using model::g_orin;

namespace {
// The preset rows' middles in the default layout; the main window keeps the strips level with them.
constexpr int kDefaultRowCentres[2] = {103, 259};
constexpr int kLampX = 14;
constexpr int kLampSize = 20;
constexpr int kLampBelowRowCentre = 1;
constexpr int kInButtonAboveLamp = 40; // from the lamp's middle to the button's top
} // namespace

CLampConsoleView::CLampConsoleView(Side side, QWidget *parent) : QWidget(parent), m_side(side)
{
    for (int i = 0; i < 2; ++i) {
        m_rowLamps[i] = std::make_unique<controls::CDanLamp>();
        m_rowLamps[i]->SetText(RowLetter(i));
        m_rowLamps[i]->SetState(i == 0 ? controls::RowState::OffAir : controls::RowState::OnAir);
        m_rowLamps[i]->SetView(this);
        m_inButtons[i] = std::make_unique<controls::CInButton>(0, 20, kInText, this);
    }
    PlaceRows(kDefaultRowCentres[0], kDefaultRowCentres[1]);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_side == Side::Left)
        g_orin.m_pLampView = this;
}

CLampConsoleView::~CLampConsoleView()
{
    if (g_orin.m_pLampView == this)
        g_orin.m_pLampView = nullptr;
}

controls::CInButton *CLampConsoleView::GetInButton(int row) const
{
    return m_inButtons[row == 0 ? 0 : 1].get();
}

controls::CDanLamp *CLampConsoleView::GetRowLamp(int row) const
{
    return m_rowLamps[row == 0 ? 0 : 1].get();
}

void CLampConsoleView::InvalidateRect(const QRect &client)
{
    if (client.isEmpty())
        return;
    NotifyDeskChanged();
    update(m_zoom.RepaintArea(client));
}

void CLampConsoleView::PlaceRows(int centreA, int centreB)
{
    const int centres[2] = {centreA, centreB};
    for (int i = 0; i < 2; ++i) {
        const int lampY = centres[i] + kLampBelowRowCentre;
        m_rowLamps[i]->SetGeometry(kLampX, lampY, kLampSize, kLampSize);
        QRect button = m_inButtons[i]->GetRect();
        button.moveTop(lampY - kInButtonAboveLamp);
        m_inButtons[i]->SetRect(button);
    }
    update();
}

void CLampConsoleView::SetZoom(double zoom)
{
    m_zoom.Set(zoom);
    update();
}

void CLampConsoleView::SetRowLamp(int row, controls::RowState state)
{
    if (row == 0 || row == 1)
        m_rowLamps[row]->SetState(state);
}

void CLampConsoleView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_zoom.Apply(painter);
    painter.fillRect(m_zoom.ToClient(event->rect()), controls::kPaneBackground);
    for (int i = 0; i < 2; ++i) {
        m_rowLamps[i]->Draw(painter);
        if (m_side == Side::Left)
            m_inButtons[i]->Draw(painter);
    }
}

void CLampConsoleView::ShowReadouts(bool show)
{
    if (CDanConsoleView *dan = g_orin.m_pDanView) {
        dan->GetRow(0)->SetShowReadouts(show);
        dan->GetRow(1)->SetShowReadouts(show);
    }
}

int CLampConsoleView::InButtonAt(QPoint client) const
{
    if (m_side != Side::Left) // the right strip draws no buttons, so none may react
        return -1;
    for (int i = 0; i < 2; ++i) {
        if (m_inButtons[i]->GetRect().contains(client))
            return i;
    }
    return -1;
}

void CLampConsoleView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const int row = InButtonAt(event->position().toPoint());
    if (row < 0) {
        ShowReadouts(true);
        return;
    }
    ToggleInputHook(RowTarget(row));
}

void CLampConsoleView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ShowReadouts(false);
}

void CLampConsoleView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int row = InButtonAt(event->position().toPoint());
    if (row < 0) {
        ShowReadouts(true); // a quick second press away from the buttons shows the readouts again
        return;
    }
    m_inButtons[row]->SetOn(true);
    ExclusiveInputHook(RowTarget(row));
    if (ConfirmHookAll(RowTarget(row)) && g_orin.m_pDanView)
        g_orin.m_pDanView->HookRow(row);
}

void CLampConsoleView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key() == Qt::Key_Backtab ? Qt::Key_Tab : event->key();
    HandleFrameKey(key, event->isAutoRepeat());
    event->accept();
}

bool CLampConsoleView::event(QEvent *event)
{
    if (const std::unique_ptr<QEvent> client = m_zoom.ToClient(*event)) {
        const bool handled = QWidget::event(client.get());
        event->setAccepted(client->isAccepted());
        return handled;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void CLampConsoleView::focusInEvent(QFocusEvent *)
{
    OnConsolePaneFocus();
}

void CLampConsoleView::focusOutEvent(QFocusEvent *) {}

void CLampConsoleView::OnEditUndo()
{
    UndoLastEdit();
}

} // namespace orinsub::views
