#include "MidiSurface.h"

#include "surfaces/ControlLayer.h"

#include <algorithm>

namespace orinsub::surfaces::midi {

MidiSurface::MidiSurface(ControlLayer &layer, MidiMapping mapping, Sender sender)
    : m_layer(layer), m_mapping(std::move(mapping)), m_sender(std::move(sender))
{
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
    m_layer.Attach(this);
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
        if (binding.IsTouch())
            m_layer.Touch(this, binding.target, message.value > 0);
        else if (binding.target.IsContinuous())
            m_layer.Move(this, binding.target, LevelFromValue(message.type, message.value));
        else
            m_layer.Press(this, binding.target, message.value > 0);
    }
}

void MidiSurface::SetMapping(MidiMapping mapping)
{
    const bool attached = m_attached;
    Detach();
    m_mapping = std::move(mapping);
    if (attached)
        Attach();
}

std::vector<ControlTarget> MidiSurface::ShownTargets() const
{
    std::vector<ControlTarget> targets;
    for (const MidiBinding &binding : m_mapping.controls) {
        if (!binding.IsTouch() &&
            std::find(targets.begin(), targets.end(), binding.target) == targets.end())
            targets.push_back(binding.target);
    }
    return targets;
}

void MidiSurface::OnFeedback(const ControlTarget &target, int value, bool)
{
    for (const MidiBinding &binding : m_mapping.controls) {
        if (binding.target != target || binding.IsTouch())
            continue;
        const int sent = target.IsContinuous() ? ValueFromLevel(binding.type, value)
                         : value > 0           ? MaxValue(binding.type)
                                               : 0;
        m_sender({binding.type, binding.channel, binding.number, sent});
    }
}

} // namespace orinsub::surfaces::midi
