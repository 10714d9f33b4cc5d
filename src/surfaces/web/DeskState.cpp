#include "DeskState.h"

#include "WebSurface.h"
#include "surfaces/Desk.h"

#include <QJsonArray>
#include <QTimer>

#include <functional>

namespace orinsub::surfaces::web {

namespace {

template <typename T, std::size_t N> QJsonArray ToArray(const std::array<T, N> &values)
{
    QJsonArray array;
    for (const T &value : values)
        array.append(value);
    return array;
}

QJsonObject FamilySizes()
{
    QJsonObject sizes;
    for (const TargetFamily &family : TargetFamilies()) {
        if (family.scope == TargetScope::Desk && family.IsNumbered())
            sizes.insert(QLatin1StringView(family.name), family.count);
    }
    return sizes;
}

/// The desk's single targets ("go", "link", ...): the page shows a control only when the
/// console has its target.
QJsonArray SingleTargets()
{
    QJsonArray names;
    for (const TargetFamily &family : TargetFamilies()) {
        if (family.scope == TargetScope::Desk && !family.IsNumbered())
            names.append(QLatin1StringView(family.name));
    }
    return names;
}

/// The highest value of each single valued target the page steps ("go/time"), from the catalogue.
QJsonObject Limits()
{
    QJsonObject limits;
    for (const TargetFamily &family : TargetFamilies()) {
        if (family.scope == TargetScope::Desk && !family.IsNumbered() &&
            family.action == TargetAction::Number && family.clamps)
            limits.insert(QLatin1StringView(family.name), family.max);
    }
    return limits;
}

} // namespace

DeskState DeskState::Read(const Desk &desk)
{
    DeskState state;
    state.page = desk.Page();
    state.status = desk.StatusLine();
    for (int i = 0; i < ControlTarget::kSubFaders; ++i) {
        state.subNames[i] = desk.SubMasterName(i);
        state.subStates[i] = desk.SubMasterState(i);
        state.subChases[i] = desk.SubMasterChase(i);
    }
    for (int i = 0; i < ControlTarget::kChannels; ++i) {
        state.channelNames[i] = desk.ChannelName(i);
        state.output[i] = desk.OutputLevel(i);
    }
    for (int row = 0; row < 2; ++row)
        state.onAir[row] = desk.IsOnAir(row);
    state.cues = {desk.CueText(desk.Value({ControlTarget::Kind::CueCurrent})),
                  desk.CueText(desk.Value({ControlTarget::Kind::CueNext}))};
    return state;
}

QJsonObject DeskState::ChangesSince(const DeskState *before) const
{
    const auto changed = [this, before](auto field) {
        return !before || std::invoke(field, *this) != std::invoke(field, *before);
    };
    QJsonObject changes;
    if (!before) {
        changes.insert(QStringLiteral("sizes"), FamilySizes());
        changes.insert(QStringLiteral("targets"), SingleTargets());
        changes.insert(QStringLiteral("limits"), Limits());
    }
    if (changed(&DeskState::page))
        changes.insert(QStringLiteral("page"), page);
    if (changed(&DeskState::status))
        changes.insert(QStringLiteral("status"), status);
    if (changed(&DeskState::subNames))
        changes.insert(QStringLiteral("subNames"), ToArray(subNames));
    if (changed(&DeskState::subStates))
        changes.insert(QStringLiteral("subStates"), ToArray(subStates));
    if (changed(&DeskState::subChases))
        changes.insert(QStringLiteral("subChases"), ToArray(subChases));
    if (changed(&DeskState::channelNames))
        changes.insert(QStringLiteral("names"), ToArray(channelNames));
    if (changed(&DeskState::output)) {
        QJsonArray levels;
        for (uint8_t level : output)
            levels.append(level);
        changes.insert(QStringLiteral("out"), levels);
    }
    if (changed(&DeskState::onAir))
        changes.insert(QStringLiteral("onAir"), ToArray(onAir));
    if (changed(&DeskState::cues))
        changes.insert(QStringLiteral("cues"), ToArray(cues));
    return changes;
}

DeskFeed::DeskFeed(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk)
{
    connect(&m_desk, &Desk::Changed, this, &DeskFeed::LookSoon);
}

void DeskFeed::Add(WebSurface *page)
{
    if (m_pages.empty())
        m_shown = DeskState::Read(m_desk);
    m_pages.push_back(page);
    connect(page, &QObject::destroyed, this, [this, page] { std::erase(m_pages, page); });
    page->QueueDesk(m_shown.ChangesSince(nullptr));
    LookSoon(); // what changed before this turn ends reaches it too
}

void DeskFeed::LookSoon()
{
    if (m_lookScheduled || m_pages.empty())
        return;
    m_lookScheduled = true;
    QTimer::singleShot(0, this, &DeskFeed::Look);
}

void DeskFeed::Look()
{
    m_lookScheduled = false;
    if (m_pages.empty())
        return;
    const DeskState now = DeskState::Read(m_desk);
    if (now == m_shown)
        return;
    const QJsonObject changes = now.ChangesSince(&m_shown);
    m_shown = now;
    for (WebSurface *page : m_pages)
        page->QueueDesk(changes);
}

} // namespace orinsub::surfaces::web
