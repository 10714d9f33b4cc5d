#include "MidiTransport.h"
#include "AlsaMidiTransport.h"
#include "JackMidiTransport.h"
#include "MidiTexts.h"

#include <algorithm>

namespace orinsub::surfaces::midi {

namespace {

template <typename Transport> std::unique_ptr<MidiTransport> Make(MidiInbox &inbox)
{
    return std::make_unique<Transport>(inbox);
}

constexpr MidiSystem kSystems[] = {
    {MidiDeviceName::Backend::Alsa, "alsa", nullptr, Make<AlsaMidiTransport>},
    {MidiDeviceName::Backend::Jack, "jack", "JACK", Make<JackMidiTransport>},
};

} // namespace

std::span<const MidiSystem> MidiSystems()
{
    return kSystems;
}

const MidiSystem &SystemOf(MidiDeviceName::Backend backend)
{
    return *std::find_if(std::begin(kSystems), std::end(kSystems),
                         [backend](const MidiSystem &system) { return system.backend == backend; });
}

QString MidiDeviceName::Text() const
{
    return QLatin1StringView(SystemOf(backend).prefix) + u':' + name;
}

std::optional<MidiDeviceName> MidiDeviceName::Parse(const QString &text, QString &error)
{
    const qsizetype colon = text.indexOf(u':');
    const QString prefix = text.left(colon);
    const QString name = text.mid(colon + 1);
    const auto system =
        std::find_if(std::begin(kSystems), std::end(kSystems), [&prefix](const MidiSystem &system) {
            return prefix == QLatin1StringView(system.prefix);
        });
    if (colon < 0 || name.trimmed().isEmpty() || system == std::end(kSystems)) {
        QStringList prefixes;
        for (const MidiSystem &known : kSystems)
            prefixes << QLatin1StringView(known.prefix);
        error = DeviceError(text, DeviceBadForm(prefixes));
        return std::nullopt;
    }
    return MidiDeviceName{system->backend, name};
}

std::unique_ptr<MidiTransport> MakeMidiTransport(MidiDeviceName::Backend backend, MidiInbox &inbox)
{
    return SystemOf(backend).make(inbox);
}

bool IsConsolePort(const QString &name)
{
    return name.startsWith(u"OrinSUB");
}

} // namespace orinsub::surfaces::midi
