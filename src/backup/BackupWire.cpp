#include "BackupWire.h"

#include "BackupTexts.h"
#include "model/SameBytes.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QtEndian>

namespace orinsub::backup {

namespace {

constexpr char kMagic[8] = {'O', 'R', 'I', 'N', '-', 'B', 'A', 'K'};
// magic, version u16, role, priority, nonce.
constexpr qsizetype kGreetingBytes = sizeof(kMagic) + 2 + 1 + 1 + BackupWire::kNonceBytes;
// length u32 (of all that follows it), type u8, counter u64; then the payload and the MAC.
constexpr qsizetype kHeadBytes = 4 + 1 + 8;
constexpr char kFromServer = 'S';
constexpr char kFromClient = 'C';

QByteArray FreshNonce()
{
    QByteArray nonce(BackupWire::kNonceBytes, '\0');
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(nonce.data()),
                                         reinterpret_cast<quint32 *>(nonce.data() + nonce.size()));
    return nonce;
}

bool IsKnownType(uint8_t type)
{
    return type >= static_cast<uint8_t>(MessageType::Join) &&
           type <= static_cast<uint8_t>(MessageType::GiveStage);
}

} // namespace

BackupWire::BackupWire(QByteArray key, bool server, std::optional<QByteArray> nonce)
    : m_key(std::move(key)), m_server(server), m_nonce(nonce.value_or(FreshNonce()))
{
}

QByteArray BackupWire::Greeting(Role role, uint8_t priority) const
{
    QByteArray greeting(kMagic, sizeof(kMagic));
    char version[2];
    qToLittleEndian<uint16_t>(kVersion, version);
    greeting.append(version, 2);
    greeting.append(static_cast<char>(role));
    greeting.append(static_cast<char>(priority));
    return greeting + m_nonce;
}

QByteArray BackupWire::Mac(char direction, const QByteArray &sealed) const
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, m_sessionKey);
    mac.addData(&direction, 1);
    mac.addData(sealed);
    return mac.result();
}

QByteArray BackupWire::Seal(MessageType type, const QByteArray &payload)
{
    if (!IsOpen() || IsRefused())
        return {};
    QByteArray sealed(kHeadBytes, '\0');
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(1 + 8 + payload.size() + kMacBytes),
                              sealed.data());
    sealed[4] = static_cast<char>(type);
    qToLittleEndian<uint64_t>(++m_sent, sealed.data() + 5);
    sealed += payload;
    return sealed + Mac(m_server ? kFromServer : kFromClient, sealed);
}

BackupWire::Read BackupWire::Feed(const QByteArray &bytes)
{
    Read read;
    if (IsRefused()) {
        read.refusal = m_refusal;
        return read;
    }
    m_buffer += bytes;
    if (!IsOpen() && !TakeGreeting(read))
        return read;
    while (IsOpen() && !IsRefused() && TakeMessage(read)) {
    }
    return read;
}

bool BackupWire::TakeGreeting(Read &read)
{
    // What came so far must be the start of a greeting; wait for the rest of it.
    const qsizetype have = std::min(m_buffer.size(), qsizetype(sizeof(kMagic)));
    if (m_buffer.left(have) != QByteArray(kMagic, have)) {
        Refuse(read, kRefusedNotLink);
        return false;
    }
    if (m_buffer.size() < kGreetingBytes)
        return false;
    const auto version = qFromLittleEndian<uint16_t>(m_buffer.constData() + sizeof(kMagic));
    const auto role = static_cast<uint8_t>(m_buffer[sizeof(kMagic) + 2]);
    if (version != kVersion) {
        Refuse(read, kRefusedVersion);
        return false;
    }
    if (role > static_cast<uint8_t>(Role::Live)) {
        Refuse(read, kRefusedNotLink);
        return false;
    }
    read.peerPriority = static_cast<uint8_t>(m_buffer[sizeof(kMagic) + 3]);
    const QByteArray peerNonce = m_buffer.mid(sizeof(kMagic) + 4, kNonceBytes);
    m_buffer.remove(0, kGreetingBytes);
    // Both nonces in the server's order: each connection has a key of its own.
    QMessageAuthenticationCode session(QCryptographicHash::Sha256, m_key);
    session.addData(QByteArrayLiteral("orinsub backup session"));
    session.addData(m_server ? m_nonce : peerNonce);
    session.addData(m_server ? peerNonce : m_nonce);
    m_sessionKey = session.result();
    read.peerRole = static_cast<Role>(role);
    return true;
}

bool BackupWire::TakeMessage(Read &read)
{
    if (m_buffer.size() < 4)
        return false;
    const auto length = qFromLittleEndian<uint32_t>(m_buffer.constData());
    if (length < 1 + 8 + kMacBytes || length > 1 + 8 + kMaxPayload + kMacBytes) {
        Refuse(read, length < 1 + 8 + kMacBytes ? kRefusedNotLink : kRefusedTooLarge);
        return false;
    }
    if (m_buffer.size() < 4 + qsizetype(length))
        return false;
    const QByteArray sealed = m_buffer.left(4 + length - kMacBytes);
    const QByteArray mac = m_buffer.mid(sealed.size(), kMacBytes);
    if (!model::SameBytes(mac, Mac(m_server ? kFromClient : kFromServer, sealed))) {
        Refuse(read, kRefusedForged);
        return false;
    }
    const auto type = static_cast<uint8_t>(sealed[4]);
    const auto counter = qFromLittleEndian<uint64_t>(sealed.constData() + 5);
    if (counter != m_received + 1) {
        Refuse(read, kRefusedOrder);
        return false;
    }
    if (!IsKnownType(type)) {
        Refuse(read, kRefusedNotLink);
        return false;
    }
    m_received = counter;
    read.messages.push_back({static_cast<MessageType>(type), sealed.mid(kHeadBytes)});
    m_buffer.remove(0, 4 + length);
    return true;
}

void BackupWire::Refuse(Read &read, const QString &why)
{
    m_refusal = why;
    m_buffer.clear();
    read.refusal = why;
}

} // namespace orinsub::backup
