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
            state.subStates[i] = master->GetSubFader(i)->GetContentState();
        }
    }
    if (const model::COrinSUBDoc *doc = g_orin.m_pDoc)
        for (int i = 0; i < 80 && i < doc->m_channelCount; ++i)
            state.channelNames[i] = doc->Channel(i).GetName();
    for (int i = 0; i < 80; ++i)
        state.output[i] = model::s_channelLevels[i];
    if (const views::CDanConsoleView *dan = g_orin.m_pDanView)
        for (int row = 0; row < 2; ++row)
            state.onAir[row] = dan->GetRow(row)->GetState() == 2;
    return state;
}

QJsonObject DeskState::ChangesSince(const DeskState &before) const
{
    QJsonObject changes;
    if (page != before.page)
        changes.insert(QStringLiteral("page"), page);
    if (status != before.status)
        changes.insert(QStringLiteral("status"), status);
    if (subNames != before.subNames)
        changes.insert(QStringLiteral("subNames"), ToArray(subNames));
    if (subStates != before.subStates)
        changes.insert(QStringLiteral("subStates"), ToArray(subStates));
    if (channelNames != before.channelNames)
        changes.insert(QStringLiteral("names"), ToArray(channelNames));
    if (output != before.output) {
        QJsonArray levels;
        for (uint8_t level : output)
            levels.append(level);
        changes.insert(QStringLiteral("out"), levels);
    }
    if (onAir != before.onAir)
        changes.insert(QStringLiteral("onAir"), ToArray(onAir));
    return changes;
}

} // namespace orinsub::surfaces::web
