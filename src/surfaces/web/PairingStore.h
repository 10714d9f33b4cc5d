#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
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

/// Who may play the desk from the network. A device asks for a code; the console shows a
/// six-digit code that lives two minutes; the right code gives the device a random 128-bit
/// token. Five wrong codes in a row lock pairing for a minute. UI thread only.
class PairingStore : public QObject
{
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kCodeLifetime{120};
    static constexpr std::chrono::seconds kLockTime{60};
    static constexpr int kWrongCodesBeforeLock = 5;

    /// devices: those paired before. save is called with the whole list after every change.
    explicit PairingStore(std::vector<PairedDevice> devices = {},
                          std::function<void(const std::vector<PairedDevice> &)> save = {},
                          QObject *parent = nullptr);

    /// A device asks to pair: the code to show (the one still valid, else a new one), or nothing
    /// while pairing is locked. Emits CodeShown for a new code.
    std::optional<QString> RequestCode();
    enum class Answer { Paired, Wrong, Expired, Locked };
    /// A device typed code. Paired: token holds the new token (32 hex digits) and the device is
    /// remembered under name. The code is used up by a right answer.
    Answer TryCode(const QByteArray &code, const QString &name, QByteArray &token);
    /// Whether a token (as the cookie carried it) belongs to a paired device.
    bool IsPaired(const QByteArray &token) const;
    /// Seconds until pairing opens again, 0 when it is open.
    int LockedSeconds() const;
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
    /// The code is no longer shown: used, expired or replaced.
    void CodeWithdrawn();
    void DevicesChanged();
    void Forgotten(const QByteArray &tokenHash);

private:
    bool IsCodeValid() const;
    void Save();

    std::vector<PairedDevice> m_devices;
    std::function<void(const std::vector<PairedDevice> &)> m_save;
    std::function<Clock::time_point()> m_now = [] { return Clock::now(); };
    QString m_code;
    Clock::time_point m_codeExpires{};
    Clock::time_point m_lockedUntil{};
    int m_wrongCodes = 0;
};

} // namespace orinsub::surfaces::web
