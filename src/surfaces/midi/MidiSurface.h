#pragma once

#include "MidiMapping.h"
#include "MidiMessage.h"
#include "surfaces/Surface.h"

#include <functional>
#include <map>

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::midi {

/// A MIDI fader box on the control layer: plays the messages of its mapping's controls and
/// answers feedback with the same message its control sends. UI thread only.
class MidiSurface : public Surface
{
public:
    using Sender = std::function<void(const MidiMessage &)>;
    using Learner = std::function<void(const MidiMessage &)>;
    using DeskWatcher = std::function<void(const ControlTarget &)>;

    /// Nothing is attached yet: call Attach once the sender works.
    MidiSurface(ControlLayer &layer, MidiMapping mapping, Sender sender);
    ~MidiSurface() override;
    MidiSurface(const MidiSurface &) = delete;
    MidiSurface &operator=(const MidiSurface &) = delete;

    /// Attaches to the layer (feedback then sets every shown control) or detaches from it.
    void Attach();
    void Detach();
    bool IsAttached() const { return m_attached; }

    /// Plays one message: a move, a press or release, a touch. While learning, the message goes
    /// to the learner instead and plays nothing.
    void Play(const MidiMessage &message);

    /// Learning: every message goes to learner, and every desk control that changes from now
    /// on (the operator moves a fader or presses a button on the console) goes to watcher.
    /// Needs the surface attached.
    void StartLearning(Learner learner, DeskWatcher watcher);
    void StopLearning();
    bool IsLearning() const { return static_cast<bool>(m_learner); }

    /// Another mapping from now on (re-attached, so feedback sets the new controls).
    void SetMapping(MidiMapping mapping);
    const MidiMapping &GetMapping() const { return m_mapping; }

    bool IsMotorised() const override { return m_mapping.motorised; }
    const std::vector<ControlTarget> &ShownTargets() const override { return m_shown; }
    void OnFeedback(const ControlTarget &target, int value, bool caught) override;

private:
    /// The mapping's valued controls, and while learning every desk control.
    void ListShown();

    ControlLayer &m_layer;
    MidiMapping m_mapping;
    Sender m_sender;
    Learner m_learner;
    DeskWatcher m_watcher;
    std::vector<ControlTarget> m_shown;
    bool m_priming = false;      // the layer tells the watched controls' present values
    std::map<int, int> m_levels; // by message: the level it last carried, either way
    bool m_attached = false;
};

} // namespace orinsub::surfaces::midi
