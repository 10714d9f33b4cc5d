#pragma once

#include "surfaces/ControlTarget.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace orinsub::surfaces {
class Desk;
}

namespace orinsub::surfaces::web {

class WebSurface;

/// What the page shows besides the controls' values: the page number, the names, the output
/// levels, the sub-master grooves' state and the chases they play, the row lamps, the interface's
/// status line and the cue on stage and the next one as the cue readout shows them.
struct DeskState
{
    int page = 0;
    QString status;
    std::array<QString, ControlTarget::kSubFaders> subNames;
    std::array<int, ControlTarget::kSubFaders> subStates{}; // 0 empty, 1 levels, 2 held
    std::array<int, ControlTarget::kSubFaders> subChases{}; // the chase each plays, 0 none
    std::array<QString, ControlTarget::kChannels> channelNames;
    std::array<uint8_t, ControlTarget::kChannels> output{};
    std::array<bool, 2> onAir{};
    std::array<QString, 2> cues; // on stage, next: "number label", empty for none

    static DeskState Read(const Desk &desk);
    /// The fields that differ from before, as the page reads them ("page", "status",
    /// "subNames", "subStates", "subChases", "names", "out", "onAir", "cues"); empty when
    /// nothing changed.
    /// Without before: every field, and "sizes", how many targets each numbered family of the desk
    /// has
    /// ({"A": 80, "B": 80, "sub": 20}), from which the page builds its faders, and "targets",
    /// the names of the desk's single targets (["xfade", "xfade/A", ..., "go", ...]), whose
    /// controls alone the page shows.
    QJsonObject ChangesSince(const DeskState *before) const;

    bool operator==(const DeskState &) const = default;
};

/// Keeps every connected page's picture of the desk: a new page gets it whole, and after each
/// change the desk announces (gathered to one look per turn of the event loop) every page gets
/// what differs. UI thread only.
class DeskFeed : public QObject
{
    Q_OBJECT
public:
    explicit DeskFeed(Desk &desk, QObject *parent = nullptr);

    /// The page is fed from now on, until it is destroyed.
    void Add(WebSurface *page);

private:
    void LookSoon();
    void Look();

    Desk &m_desk;
    std::vector<WebSurface *> m_pages;
    DeskState m_shown;
    bool m_lookScheduled = false;
};

} // namespace orinsub::surfaces::web
