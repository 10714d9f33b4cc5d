#include "MidiSurface.h"

#include "surfaces/ControlLayer.h"

#include <algorithm>

namespace orinsub::surfaces::midi {

namespace {

int MessageKey(MidiMessage::Type type, int channel, int number)
{
    return (static_cast<int>(type) * 16 + channel) * 128 + number;
}

} // namespace

MidiSurface::MidiSurface(ControlLayer &layer, MidiMapping mapping, Sender sender)
    : m_layer(layer), m_mapping(std::move(mapping)), m_sender(std::move(sender))
{
    ListShown();
}

MidiSurface::~MidiSurface()
{
    Detach();
}

void MidiSurface::Attach()
{
    if (m_attached)
        return;
    m_attached = true;
    // Attaching tells every shown value, all of them: the surface may have been replugged with
    // its motors anywhere. While learning, no desk control moved.
    m_levels.clear();
    m_priming = true;
    m_layer.Attach(this);
    m_priming = false;
}

void MidiSurface::Detach()
{
    if (!m_attached)
        return;
    m_attached = false;
    m_layer.Detach(this);
}

void MidiSurface::Play(const MidiMessage &message)
{
    if (m_learner) {
        m_learner(message);
        return;
    }
    if (!m_attached)
        return;
    for (const MidiBinding &binding : m_mapping.controls) {
        if (binding.type != message.type || binding.channel != message.channel ||
            binding.number != message.number)
            continue;
        if (binding.IsTouch()) {
            m_layer.Touch(this, binding.target, message.value > 0);
        } else if (binding.target.IsContinuous()) {
            // A fader stands where the hand put it; a button's lamp shows only what the console
            // sends back, so the press says nothing of it.
            // Each control keeps its own pick-up, and its first value catches a fader within
            // the control's resolution.
            const int key = MessageKey(message.type, message.channel, message.number);
            const int level = LevelFromValue(message.type, message.value);
            m_levels[key] = level;
            const int perLevel = binding.target.Family().perLevel;
            m_layer.Move(this, binding.target, level * perLevel, LevelStep(message.type) * perLevel,
                         static_cast<ControlId>(key) + 1);
        } else {
            m_layer.Press(this, binding.target, message.value > 0);
        }
    }
}

void MidiSurface::StartLearning(Learner learner, DeskWatcher watcher)
{
    m_learner = std::move(learner);
    m_watcher = std::move(watcher);
    ListShown();
    // The desk's controls join the shown targets; their present values are no change.
    m_priming = true;
    m_layer.Flush();
    m_priming = false;
}

void MidiSurface::StopLearning()
{
    m_learner = nullptr;
    m_watcher = nullptr;
    ListShown();
}

void MidiSurface::SetMapping(MidiMapping mapping)
{
    const bool attached = m_attached;
    Detach();
    m_mapping = std::move(mapping);
    ListShown();
    if (attached)
        Attach();
}

void MidiSurface::ListShown()
{
    m_shown = m_watcher ? ListTargets(TargetList::DeskControls) : std::vector<ControlTarget>{};
    for (const MidiBinding &binding : m_mapping.controls) {
        if (!binding.IsTouch() &&
            std::find(m_shown.begin(), m_shown.end(), binding.target) == m_shown.end())
            m_shown.push_back(binding.target);
    }
}

void MidiSurface::OnFeedback(const ControlTarget &target, int value, bool)
{
    if (m_watcher && !m_priming && target.kind != ControlTarget::Kind::Strip)
        m_watcher(target);
    for (const MidiBinding &binding : m_mapping.controls) {
        if (binding.target != target || binding.IsTouch())
            continue;
        const int sent = target.IsContinuous()
                             ? ValueFromLevel(binding.type, value / target.Family().perLevel)
                         : value > 0 ? MaxValue(binding.type)
                                     : 0;
        // A control already at the level (the surface's own move just caught the fader) is not
        // told again.
        const auto [last, isNew] =
            m_levels.try_emplace(MessageKey(binding.type, binding.channel, binding.number), -1);
        const int level = LevelFromValue(binding.type, sent);
        if (!isNew && last->second == level)
            continue;
        last->second = level;
        m_sender({binding.type, binding.channel, binding.number, sent});
    }
}

} // namespace orinsub::surfaces::midi
