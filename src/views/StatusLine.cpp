#include "StatusLine.h"

#include "ConsoleTexts.h"
#include "DeskLock.h"
#include "controls/ConsoleLook.h"
#include "controls/Geometry.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace orinsub::views {

namespace {
const QColor kStatusColor(192, 255, 192);
const QColor kOutputLostColor(255, 72, 72);
constexpr int kStatusPointSize = 100; // tenths of a point
constexpr int kStatusMinimumWidth = 130;
constexpr int kStatusRightMargin = 4;
constexpr int kStatusBeyondArea = 20;
} // namespace

StatusLine::StatusLine(int areaWidth) : m_areaWidth(areaWidth), m_text(kNoInterfaceStatus) {}

void StatusLine::SetExtra(const void *owner, std::function<QString()> extra)
{
    const auto mine = std::find_if(m_extras.begin(), m_extras.end(),
                                   [owner](const auto &part) { return part.first == owner; });
    if (!extra) {
        if (mine != m_extras.end())
            m_extras.erase(mine);
    } else if (mine != m_extras.end()) {
        mine->second = std::move(extra);
    } else {
        m_extras.emplace_back(owner, std::move(extra));
    }
}

bool StatusLine::Refresh(bool blackout, const QRect &client)
{
    const dmx::COrinZentra *port = model::g_orin.m_pZentra;
    const dmx::OutputHealth::Reading output =
        port ? port->GetOutputHealth().Look() : dmx::OutputHealth::Reading{};
    QString text = output.lost              ? OutputLostStatus(output.fault, output.deviceId)
                   : port && port->IsOpen() ? InterfaceStatus(port->GetDeviceId())
                                            : kNoInterfaceStatus;
    QStringList parts;
    for (const auto &[owner, extra] : m_extras)
        parts << extra();
    parts << (blackout ? kBlackoutStatus : QString())
          << (IsDeskLocked() ? kLockedStatus : QString());
    for (const QString &part : parts) {
        if (!part.isEmpty())
            text += QStringLiteral("  ") + part;
    }
    if (text == m_text && output.lost == m_outputLost)
        return false;
    m_text = std::move(text);
    m_outputLost = output.lost;
    Place(client);
    return true;
}

void StatusLine::Place(const QRect &client)
{
    const int right = std::min(controls::RightOf(client), m_areaWidth + kStatusBeyondArea);
    const int bottom = controls::BottomOf(client);
    const int textWidth = QFontMetrics(Font()).horizontalAdvance(m_text);
    const int width = std::max(kStatusMinimumWidth, textWidth + kStatusRightMargin);
    m_rect = controls::RectLTRB(right - width, bottom - 34, right, bottom - 4);
}

void StatusLine::Draw(QPainter &painter, QPoint scroll) const
{
    painter.setFont(Font());
    painter.setPen(m_outputLost ? kOutputLostColor : kStatusColor);
    painter.drawText(m_rect.translated(scroll),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, m_text);
}

QFont StatusLine::Font() const
{
    QFont font = controls::ConsoleFont(kStatusPointSize);
    font.setBold(m_outputLost);
    return font;
}

} // namespace orinsub::views
