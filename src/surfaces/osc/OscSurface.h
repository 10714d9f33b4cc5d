#pragma once

#include "OscServer.h"
#include "surfaces/Surface.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::osc {

/// The OSC clients as one surface on the control layer: "/orinsub/<target>" moves and presses
/// what the target names (strips and banks of the default banks), and every client heard
/// within the last minute and every reply address is shown the desk ("/orinsub/<target> f",
/// faders 0..1, go/time in seconds, lamps 0 or 1). A client heard for the first time gets the
/// whole desk at once, as its first messages left it. Feedback leaves at most once a tick
/// (20 ms), bundled, whatever the clients send. OSC clients show values, so by default the
/// surface counts as motorised (its moves act at once); with pickUp a client's move must first
/// reach the console fader's level, each client picking up for itself. UI thread only.
class OscSurface : public QObject, public Surface
{
    Q_OBJECT
public:
    static constexpr int kFeedbackGapMs = 20;

    /// Attaches itself to layer (with the default banks) and detaches when deleted.
    OscSurface(ControlLayer &layer, std::unique_ptr<OscServer> server, bool pickUp = false);
    ~OscSurface() override;

    bool IsMotorised() const override { return !m_pickUp; }
    const std::vector<ControlTarget> &ShownTargets() const override { return m_targets; }
    void OnFeedback(const ControlTarget &target, int value, bool caught) override;

    OscServer &Server() { return *m_server; }

private:
    struct Shown
    {
        ControlTarget target;
        int value = 0;
        std::optional<OscEndpoint> except; // the client that moved it shows it already
    };

    void Play(const std::vector<ReceivedAction> &turn);
    void ShowDesk(const OscEndpoint &client);
    /// Queues target's value for every recipient (but except).
    void Show(const ControlTarget &target, int value, std::optional<OscEndpoint> except);
    void SendPending();

    ControlLayer &m_layer;
    std::unique_ptr<OscServer> m_server;
    bool m_pickUp;
    std::vector<ControlTarget> m_targets;
    std::map<ControlTarget, Shown> m_shown;   // the desk as the clients were last told
    std::map<ControlTarget, Shown> m_pending; // what they are still to be told
    QTimer m_sendTimer;
    QElapsedTimer m_sinceSend;
};

} // namespace orinsub::surfaces::osc
