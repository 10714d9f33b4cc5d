#pragma once

#include "GoFade.h"
#include "model/CueSequence.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace orinsub::controls {
class CCueReadout;
}

namespace orinsub::views {

/// The cue list's sequence (CueSequence) on the desk: a cue's look goes into the preset pane's
/// row, and the readout in the master pane shows where the list stands. Loading moves the row's
/// faders as the operator sees them, takes them from the DMX input and leaves the undo record of
/// section copies alone.
///
/// The show comes from g_orin.m_pDoc, the rows from g_orin.m_pDanView. UI thread only.
class CuePlayback : public QObject, private model::CueSequenceHost, public model::CueSequence
{
public:
    /// How often the readout follows a running fade.
    static constexpr int kProgressMs = 40;

    explicit CuePlayback(GoFade &go, QObject *parent = nullptr);
    CuePlayback(const CuePlayback &) = delete;
    CuePlayback &operator=(const CuePlayback &) = delete;

    /// Told after every change of the switch (the menu's check mark).
    void SetPlayingListener(std::function<void(bool)> listener)
    {
        m_onPlaying = std::move(listener);
    }

    /// Cue number as the readout shows it: "number label", the number alone without a label or
    /// once taken out of the list; empty for 0.
    QString CueText(int number) const;
    /// The last word to the operator ("最後のキューです…"), empty when the last command went.
    QString GetMessage() const;

    /// The cue list was edited: the readout shows it anew.
    void Refresh();
    /// The readout in the master pane (not owned; null for none).
    void SetReadout(controls::CCueReadout *readout);

private:
    const model::CueList *GetCues() const override;
    void Load(int row, const model::Cue &cue) override;
    void Show(bool started) override;
    void WakeIn(std::optional<std::chrono::milliseconds> delay) override;
    void PlayingChanged(bool playing) override;

    GoFade &m_go;
    QTimer m_followTimer;
    QTimer m_progressTimer;
    controls::CCueReadout *m_readout = nullptr;
    std::function<void(bool)> m_onPlaying;
};

} // namespace orinsub::views
