#include "DeskFit.h"

#include "AppResources.h"
#include "MySplitterWnd.h"
#include "views/DanConsoleView.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"
#include "views/PaneZoom.h"

#include <algorithm>
#include <cmath>

namespace orinsub::app {

using views::CLampConsoleView;

DeskFit::DeskFit(QWidget &window, CMySplitterWnd &outer, CMySplitterWnd &top, const Panes &panes)
    : m_window(window), m_outer(outer), m_top(top), m_panes(panes)
{
}

void DeskFit::KeepMasterRow()
{
    m_masterRowHeight = static_cast<int>(std::lround(m_outer.sizes().at(1) / m_zoom));
}

void DeskFit::Fit()
{
    using namespace layout;
    const QSize room = m_outer.size();
    const int gap = m_outer.handleWidth();
    const QSize master = m_panes.master->GetScrollSize();
    const QSize desk(master.width(),
                     views::CDanConsoleView::kDefaultPaneHeight + gap + master.height());
    // The panes draw no smaller than PaneZoom allows; the frame reckons with the same zoom.
    m_zoom = std::max(views::PaneZoom::kMinimum,
                      std::min({1.0, static_cast<double>(room.width()) / desk.width(),
                                static_cast<double>(room.height()) / desk.height()}));
    auto zoomed = [this](int size) { return static_cast<int>(std::lround(size * m_zoom)); };

    if (m_masterRowHeight <= 0) // what the default window leaves under the rows
        m_masterRowHeight = kFrameHeight - (m_window.height() - room.height()) -
                            views::CDanConsoleView::kDefaultPaneHeight - gap;
    const int masterRow = std::clamp(zoomed(m_masterRowHeight), kRowMinimum,
                                     std::max(kRowMinimum, room.height() - gap - kRowMinimum));
    m_outer.setSizes({room.height() - gap - masterRow, masterRow});

    // The rows take the width, up to all 80 channels; the right strip keeps what the default
    // window leaves it and anything beyond the rows.
    const int leftLamp = zoomed(kLampWidth);
    const int rightLamp = zoomed(kFrameWidth - kLampWidth - kPresetWidth - 2 * gap);
    const int rows = std::max(
        0, std::min(room.width() - leftLamp - rightLamp - 2 * gap,
                    static_cast<int>(std::ceil(m_panes.rows->GetScrollSize().width() * m_zoom))));
    m_top.setSizes({leftLamp, rows, room.width() - leftLamp - rows - 2 * gap});

    m_panes.rows->SetZoom(m_zoom);
    m_panes.master->SetZoom(m_zoom);
    for (CLampConsoleView *lamps : {m_panes.leftLamp, m_panes.rightLamp})
        lamps->SetZoom(m_zoom);
    PlaceLampRows();
}

void DeskFit::PlaceLampRows()
{
    const views::CDanConsoleView &rows = *m_panes.rows;
    const int scrollY = rows.GetScrollPosition().y();
    for (CLampConsoleView *lamps : {m_panes.leftLamp, m_panes.rightLamp})
        lamps->PlaceRows(rows.GetRowCentre(0) - scrollY, rows.GetRowCentre(1) - scrollY);
}

} // namespace orinsub::app
