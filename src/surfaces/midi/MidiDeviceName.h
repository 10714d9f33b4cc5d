#pragma once

#include <QString>

#include <optional>

namespace orinsub::surfaces::midi {

/// A surface's ports as the operator names them: "alsa:NAME" (the ALSA sequencer) or
/// "jack:NAME"; NAME matches any part of the surface's port names, ignoring case.
struct MidiDeviceName
{
    enum class Backend { Alsa, Jack };
    Backend backend = Backend::Alsa;
    QString name;

    QString Text() const;
    /// Nothing, with a one-line error, for any other form.
    static std::optional<MidiDeviceName> Parse(const QString &text, QString &error);
};

} // namespace orinsub::surfaces::midi
