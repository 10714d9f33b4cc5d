#pragma once

#include <QString>

#include <memory>

namespace orinsub::surfaces::osc {
class OscSurface;
}
namespace orinsub::app {

class CMainFrame;
class WebRemote;
struct StartOptions;

/// The console's network surfaces: the OSC surface (--osc) and the web remote (--remote or the
/// settings, with its item in the Operation menu). A screenshot run serves no web remote.
/// Problems starting either are told in a box; the console goes on without it. Lives shorter
/// than the frame's control layer.
class CNetworkSurfaces
{
public:
    CNetworkSurfaces(CMainFrame &frame, const StartOptions &options);
    ~CNetworkSurfaces();
    CNetworkSurfaces(const CNetworkSurfaces &) = delete;
    CNetworkSurfaces &operator=(const CNetworkSurfaces &) = delete;

    /// What the OSC surface heard, ignored and sent, for the terminal; empty without OSC.
    QString OscSummary() const;
    /// How many devices play the desk through the web remote; empty when it serves nobody.
    QString RemoteStatusText() const;

    /// Checks the network part of the start options before anything starts: false with a
    /// one-line error for a malformed web remote address.
    static bool CheckStartOptions(const StartOptions &options, QString &error);

private:
    void StartOsc(CMainFrame &frame, const QString &listen);
    void StartRemote(CMainFrame &frame, const StartOptions &options);

    std::unique_ptr<surfaces::osc::OscSurface> m_osc;
    std::unique_ptr<WebRemote> m_remote;
};

} // namespace orinsub::app
