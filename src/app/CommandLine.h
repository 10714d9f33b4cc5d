#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

namespace orinsub::app {

/// The answer to the start-up question whether to restore a recovery copy.
enum class RestoreAnswer { Ask, Yes, No };

/// What the command line asks for: orinsub [--dmx DEVICE] [--midi DEVICE] [--midi-map FILE]
/// [--list-devices] [--screenshot FILE] [--restore yes|no] [--osc [ADDRESS:]PORT]
/// [--remote [ADDRESS:]PORT] [--remote-pairing always|auto] [--headless] [--backup-port
/// [ADDRESS:]PORT] [--backup-of HOST:PORT] [--backup-key FILE] [--sacn-priority N] [--version]
/// [SHOW].
struct StartOptions
{
    std::optional<std::string> dmx; // the interface; ORINSUB_DMX or the simulation without it
    QString midi;    // the MIDI surface ("alsa:NAME", "jack:NAME"); ORINSUB_MIDI or the settings
    QString midiMap; // the MIDI surface's mapping file instead of the one in the settings
    bool listDevices = false; // print the devices the interface and MIDI find, then end
    QString screenshot;       // save the window as PNG after the first paint, then end
    QString show;             // the show to open at start
    RestoreAnswer restore = RestoreAnswer::Ask; // a recovery copy found at start
    QString osc;                             // where OSC clients reach the console; none without it
    std::optional<QString> remote;           // serve the web remote there (the setting without it)
    std::optional<bool> remotePairingAlways; // "always": pairing on 127.0.0.1 too
    bool headless = false;                   // no window: played through surfaces only
    std::optional<QString> backupPort; // a main: where its backups reach it (the setting without)
    std::optional<QString> backupOf;   // a backup: the main it follows (the setting without)
    std::optional<QString> backupKey;  // the key file both read (the setting without)
    std::optional<uint8_t> sacnPriority; // this console's own; 100, or below its live peer
    QStringList consoleOptions; // those given that set up a console ("--dmx", ...), as typed
};

enum class CommandLineAction { Run, Help, Version, Error };

/// Reads the arguments (the program's name first). Help for -h and --help, Version for --version;
/// Error with a one-line message for an unknown option, a missing or wrong value, a malformed MIDI
/// device or more than one show.
CommandLineAction ParseCommandLine(const QStringList &arguments, StartOptions &options,
                                   QString &error);

/// The --help text: usage, every option and the interface forms this build accepts.
QString HelpText();

} // namespace orinsub::app
