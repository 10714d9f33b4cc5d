#pragma once

#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>

namespace orinsub::surfaces::web {

/// What the page shows besides the controls' values: the page number, the names, the output
/// levels, the sub-master grooves' state, the row lamps and the interface's status line.
struct DeskState
{
    int page = 0;
    QString status;
    std::array<QString, 20> subNames;
    std::array<int, 20> subStates{}; // 0 empty, 1 has levels, 2 held from another page
    std::array<QString, 80> channelNames;
    std::array<uint8_t, 80> output{};
    std::array<bool, 2> onAir{};

    /// The desk as it is now (through g_orin; an empty state while the panes are missing).
    static DeskState Read();
    /// The fields that differ from before, as the page reads them ("page", "status",
    /// "subNames", "subStates", "names", "out", "onAir"); empty when nothing changed. Without
    /// before: every field.
    QJsonObject ChangesSince(const DeskState *before) const;

    bool operator==(const DeskState &) const = default;
};

} // namespace orinsub::surfaces::web
