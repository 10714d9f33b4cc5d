#include "NetworkSurfaces.h"

#include "AppResources.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "controls/QuestionBox.h"
#include "surfaces/osc/OscStart.h"
#include "surfaces/osc/OscTexts.h"
#include "surfaces/web/WebRemote.h"
#include "surfaces/web/WebTexts.h"

#include <QMenu>
#include <QMenuBar>

#include <cstdio>

namespace orinsub::app {

using namespace surfaces;

CNetworkSurfaces::CNetworkSurfaces(CMainFrame &frame, const StartOptions &options)
{
    if (!options.osc.isEmpty())
        StartOsc(frame, options.osc);
    if (options.screenshot.isEmpty())
        StartRemote(frame, options);
}

CNetworkSurfaces::~CNetworkSurfaces() = default;

bool CNetworkSurfaces::CheckStartOptions(const StartOptions &options, QString &error)
{
    web::RemoteEndpoint where;
    return !options.remote || web::RemoteEndpoint::Parse(*options.remote, where, error);
}

QString CNetworkSurfaces::OscSummary() const
{
    return m_osc ? osc::OscSummaryText(m_osc->Server().Counters()) : QString();
}

void CNetworkSurfaces::StartOsc(CMainFrame &frame, const QString &listen)
{
    QStringList problems;
    m_osc = osc::StartOscSurface(frame.GetControlLayer(), listen, problems);
    if (!problems.isEmpty())
        controls::Questions().Warn(&frame, problems.join(u'\n'), osc::kOscCaption);
}

void CNetworkSurfaces::StartRemote(CMainFrame &frame, const StartOptions &options)
{
    m_remote = std::make_unique<web::WebRemote>(frame.GetControlLayer(), &frame);
    for (QMenu *menu : frame.menuBar()->findChildren<QMenu *>()) {
        if (menu->title() != kMenuOperation)
            continue;
        menu->addSeparator();
        QObject::connect(menu->addAction(web::kRemoteSettingsCaption + QStringLiteral("(&W)...")),
                         &QAction::triggered, m_remote.get(), &web::WebRemote::OpenSettings);
    }
    QString error;
    if (!m_remote->Start(options.remote, options.remotePairingAlways, error)) {
        controls::Questions().Warn(&frame, error, web::kRemoteSettingsCaption);
        return;
    }
    if (m_remote->Server().IsListening()) {
        // The address for the operator (and for tests that asked for any free port).
        const web::RemoteEndpoint where{m_remote->Server().Address(), m_remote->Server().Port()};
        std::fputs(QStringLiteral("%1: http://%2/\n")
                       .arg(web::kRemoteSettingsCaption, where.ToString())
                       .toLocal8Bit()
                       .constData(),
                   stdout);
        std::fflush(stdout);
    }
}

} // namespace orinsub::app
