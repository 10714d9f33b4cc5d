#pragma once

#include "OscServer.h"
#include "surfaces/Surface.h"

#include <QObject>

#include <map>
#include <memory>
#include <tuple>

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::osc {

/// The OSC clients as one surface on the control layer: "/orinsub/<target>" moves and presses
/// what the target names, and every client heard within the last minute and every reply address
/// is shown the desk ("/orinsub/<target> f", faders 0..1, go/time in seconds, lamps 0 or 1). A
/// client heard for the first time gets the whole desk at once. OSC clients show values, so by
/// default the surface counts as motorised (its moves act at once); with pickUp a move must
/// first reach the console fader's level. UI thread only.
class OscSurface : public QObject, public Surface
{
    Q_OBJECT
public:
    /// Attaches itself to layer (with the default banks) and detaches when deleted.
    OscSurface(ControlLayer &layer, std::unique_ptr<OscServer> server, bool pickUp = false);
    ~OscSurface() override;

    bool IsMotorised() const override { return !m_pickUp; }
    std::vector<ControlTarget> ShownTargets() const override;
    void OnFeedback(const ControlTarget &target, int value, bool caught) override;

    OscServer &Server() { return *m_server; }

private:
    void Play(const std::vector<ReceivedAction> &turn);
    void ShowDesk(const OscEndpoint &client);
    /// Sends target's desk value to every recipient (but except) and remembers it.
    void Show(const ControlTarget &target, const OscEndpoint *except);

    ControlLayer &m_layer;
    std::unique_ptr<OscServer> m_server;
    bool m_pickUp;
    std::map<std::tuple<int, int, int>, std::pair<ControlTarget, int>> m_shown; // last sent
};

} // namespace orinsub::surfaces::osc
