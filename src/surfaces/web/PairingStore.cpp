#include "PairingStore.h"
#include "model/SameBytes.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>
#include <array>

namespace orinsub::surfaces::web {

namespace {

constexpr int kCodeDigits = 6;
constexpr int kTokenBytes = 16;

bool IsHexToken(const QByteArray &token)
{
    return token.size() == 2 * kTokenBytes && std::all_of(token.begin(), token.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

} // namespace

PairingStore::PairingStore(std::vector<PairedDevice> devices,
                           std::function<void(const std::vector<PairedDevice> &)> save,
                           QObject *parent)
    : QObject(parent), m_devices(std::move(devices)), m_save(std::move(save))
{
}

std::optional<QString> PairingStore::CurrentCode() const
{
    if (m_code.isEmpty() || m_now() >= m_codeExpires)
        return std::nullopt;
    return m_code;
}

int PairingStore::CodeSecondsLeft() const
{
    if (!IsOpen())
        return 0;
    return static_cast<int>(
        std::chrono::ceil<std::chrono::seconds>(m_codeExpires - m_now()).count());
}

int PairingStore::LockedSeconds(const QString &from) const
{
    const auto wrong = m_wrongCodes.find(from);
    if (wrong == m_wrongCodes.end())
        return 0;
    const auto left = wrong->second.waitUntil - m_now();
    if (left <= Clock::duration::zero())
        return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::seconds>(left).count());
}

void PairingStore::Open()
{
    const quint32 number = QRandomGenerator::system()->bounded(1000000u);
    m_code = QStringLiteral("%1").arg(number, kCodeDigits, 10, QLatin1Char('0'));
    m_codeExpires = m_now() + kCodeLifetime;
    emit CodeShown(m_code);
}

void PairingStore::Close()
{
    if (m_code.isEmpty())
        return;
    m_code.clear();
    emit CodeWithdrawn();
}

PairingStore::Answer PairingStore::TryCode(const QByteArray &code, const QString &name,
                                           const QString &from, QByteArray &token)
{
    if (!IsOpen())
        return Answer::Closed;
    if (LockedSeconds(from) > 0)
        return Answer::Locked;
    if (!model::SameBytes(code, m_code.toLatin1())) {
        NoteWrongCode(from);
        return Answer::Wrong;
    }
    m_wrongCodes.erase(from);
    Close(); // a code pairs one device

    std::array<quint32, kTokenBytes / 4> random{};
    QRandomGenerator::system()->fillRange(random.data(), random.size());
    token = QByteArray(reinterpret_cast<const char *>(random.data()), kTokenBytes).toHex();
    m_devices.push_back(
        {HashToken(token), name.left(kMaxDeviceName), QDateTime::currentDateTime()});
    Save();
    emit DevicesChanged();
    return Answer::Paired;
}

void PairingStore::NoteWrongCode(const QString &from)
{
    ForgetOldAddresses(from);
    WrongCodes &wrong = m_wrongCodes[from];
    ++wrong.count;
    const Clock::duration wait = kFirstWait * (1LL << std::min(wrong.count - 1, 16));
    wrong.waitUntil = m_now() + std::min<Clock::duration>(wait, kLongestWait);
}

void PairingStore::ForgetOldAddresses(const QString &keep)
{
    const Clock::time_point now = m_now();
    std::erase_if(m_wrongCodes, [&](const auto &entry) {
        return entry.second.waitUntil + kForgetWrongCodes <= now;
    });
    if (m_wrongCodes.size() < kMaxAddresses || m_wrongCodes.contains(keep))
        return;
    m_wrongCodes.erase(std::min_element(
        m_wrongCodes.begin(), m_wrongCodes.end(),
        [](const auto &a, const auto &b) { return a.second.waitUntil < b.second.waitUntil; }));
}

bool PairingStore::IsPaired(const QByteArray &token) const
{
    if (!IsHexToken(token))
        return false;
    const QByteArray hash = HashToken(token);
    bool found = false;
    for (const PairedDevice &device : m_devices)
        found |= model::SameBytes(device.tokenHash, hash);
    return found;
}

void PairingStore::Forget(QByteArray tokenHash)
{
    const auto removed = std::erase_if(
        m_devices, [&](const PairedDevice &device) { return device.tokenHash == tokenHash; });
    if (removed == 0)
        return;
    Save();
    emit DevicesChanged();
    emit Forgotten(tokenHash);
}

QByteArray PairingStore::HashToken(const QByteArray &token)
{
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256).toHex();
}

void PairingStore::Save()
{
    if (m_save)
        m_save(m_devices);
}

} // namespace orinsub::surfaces::web
