#include "DeskState.h"

#include "controls/Dan.h"
#include "controls/FaderLabel.h"
#include "controls/SubFader.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QJsonArray>

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

} // namespace

DeskState DeskState::Read()
{
    using model::g_orin;
    DeskState state;
    if (const views::CMasterConsoleView *master = g_orin.m_pMasterView) {
        state.page = master->GetPage();
        state.status = master->GetStatusText();
        for (int i = 0; i < 20 && i < master->GetSubFaderCount(); ++i) {
            state.subNames[i] = master->GetNameLabel(i)->GetText();
            state.subStates[i] = static_cast<int>(master->GetSubFader(i)->GetContentState());
        }
    }
    if (const model::COrinSUBDoc *doc = g_orin.m_pDoc)
        for (int i = 0; i < 80 && i < doc->m_channelCount; ++i)
            state.channelNames[i] = doc->Channel(i).GetName();
    for (int i = 0; i < 80; ++i)
        state.output[i] = model::s_channelLevels[i];
    if (const views::CDanConsoleView *dan = g_orin.m_pDanView)
        for (int row = 0; row < 2; ++row)
            state.onAir[row] = dan->GetRow(row)->GetState() == controls::RowState::OnAir;
    return state;
}

QJsonObject DeskState::ChangesSince(const DeskState *before) const
{
    const auto changed = [this, before](auto field) {
        return !before || std::invoke(field, *this) != std::invoke(field, *before);
    };
    QJsonObject changes;
    if (changed(&DeskState::page))
        changes.insert(QStringLiteral("page"), page);
    if (changed(&DeskState::status))
        changes.insert(QStringLiteral("status"), status);
    if (changed(&DeskState::subNames))
        changes.insert(QStringLiteral("subNames"), ToArray(subNames));
    if (changed(&DeskState::subStates))
        changes.insert(QStringLiteral("subStates"), ToArray(subStates));
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
    return changes;
}

} // namespace orinsub::surfaces::web
