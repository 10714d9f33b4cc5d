#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace orinsub::surfaces::web {

/// A device let in at the console: only the hash of its token is kept.
struct PairedDevice
{
    QByteArray tokenHash; // SHA-256 of the token, hex
    QString name;         // what the device's browser calls itself, shortened
    QDateTime pairedAt;
};

/// Who may play the desk from the network. Only the operator opens pairing: the console then
/// shows a six-digit code for two minutes, and the right code gives one device a random 128-bit
/// token. No device can make a code appear. A wrong code makes its own address wait before the
/// next try, twice as long after each further wrong code; other addresses go on unhindered.
/// UI thread only.
class PairingStore : public QObject
{
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kCodeLifetime{120};
    static constexpr std::chrono::seconds kFirstWait{1};
    static constexpr std::chrono::seconds kLongestWait{300};
    /// An address's wrong codes are forgotten once it has waited out its last one this long.
    static constexpr std::chrono::seconds kForgetWrongCodes{600};
    /// Addresses followed at most; past it the one that has waited longest is forgotten first.
    static constexpr std::size_t kMaxAddresses = 1024;
    /// A device's name is kept this long at most.
    static constexpr qsizetype kMaxDeviceName = 60;

    /// devices: those paired before. save is called with the whole list after every change.
    explicit PairingStore(std::vector<PairedDevice> devices = {},
                          std::function<void(const std::vector<PairedDevice> &)> save = {},
                          QObject *parent = nullptr);

    /// The operator opens pairing: a new code, valid for kCodeLifetime (CodeShown). A code still
    /// shown is replaced.
    void Open();
    /// The operator ends pairing before its time (CodeWithdrawn when a code was shown).
    void Close();
    bool IsOpen() const { return CurrentCode().has_value(); }

    enum class Answer { Paired, Wrong, Closed, Locked };
    /// A device at address from typed code. Paired: token holds the new token (32 hex digits),
    /// the device is remembered under name and pairing closes. Locked: the address must still
    /// wait (LockedSeconds); the code is not even looked at.
    Answer TryCode(const QByteArray &code, const QString &name, const QString &from,
                   QByteArray &token);
    /// Whether a token (as the cookie carried it) belongs to a paired device.
    bool IsPaired(const QByteArray &token) const;
    /// Seconds the address must wait before its next code, 0 when it may try now.
    int LockedSeconds(const QString &from) const;
    /// The code shown now and how long it remains valid, or nothing.
    std::optional<QString> CurrentCode() const;
    int CodeSecondsLeft() const;

    const std::vector<PairedDevice> &Devices() const { return m_devices; }
    /// Forgets the device with this token hash; its connections are closed (Forgotten).
    void Forget(QByteArray tokenHash); // a copy: the caller may pass a listed device's own hash

    static QByteArray HashToken(const QByteArray &token);

    /// Tests replace the clock.
    void SetClock(std::function<Clock::time_point()> clock) { m_now = std::move(clock); }

signals:
    /// A new code to show at the console.
    void CodeShown(const QString &code);
    /// The code is no longer shown: used, ended by the operator or replaced.
    void CodeWithdrawn();
    void DevicesChanged();
    void Forgotten(const QByteArray &tokenHash);

private:
    // What an address's wrong codes cost it.
    struct WrongCodes
    {
        int count = 0;
        Clock::time_point waitUntil{};
    };
    void NoteWrongCode(const QString &from);
    void ForgetOldAddresses(const QString &keep);
    void Save();

    std::vector<PairedDevice> m_devices;
    std::function<void(const std::vector<PairedDevice> &)> m_save;
    std::function<Clock::time_point()> m_now = [] { return Clock::now(); };
    QString m_code;
    Clock::time_point m_codeExpires{};
    std::map<QString, WrongCodes> m_wrongCodes; // by address
};

} // namespace orinsub::surfaces::web
