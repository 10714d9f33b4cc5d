#include "MidiTransport.h"
#include "AlsaMidiTransport.h"
#include "JackMidiTransport.h"

namespace orinsub::surfaces::midi {

std::unique_ptr<MidiTransport> MakeMidiTransport(MidiDeviceName::Backend backend, MidiInbox &inbox)
{
    if (backend == MidiDeviceName::Backend::Jack)
        return std::make_unique<JackMidiTransport>(inbox);
    return std::make_unique<AlsaMidiTransport>(inbox);
}

bool IsConsolePort(const QString &name)
{
    return name.startsWith(u"OrinSUB");
}

} // namespace orinsub::surfaces::midi
