#include "WebSocketFrame.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace orinsub::surfaces::web {

namespace {

constexpr qsizetype kMaxControlPayload = 125;

FrameReadResult Refuse(CloseCode code)
{
    FrameReadResult result;
    result.state = FrameReadResult::State::Refused;
    result.refusal = code;
    return result;
}

bool IsKnown(quint8 opcode)
{
    switch (static_cast<WebSocketOpcode>(opcode)) {
    case WebSocketOpcode::Continuation:
    case WebSocketOpcode::Text:
    case WebSocketOpcode::Binary:
    case WebSocketOpcode::Close:
    case WebSocketOpcode::Ping:
    case WebSocketOpcode::Pong:
        return true;
    }
    return false;
}

} // namespace

FrameReadResult ReadClientFrame(QByteArrayView bytes, qsizetype maxPayload)
{
    if (bytes.size() < 2)
        return {};
    const auto first = static_cast<quint8>(bytes[0]);
    const auto second = static_cast<quint8>(bytes[1]);
    const quint8 opcode = first & 0x0f;
    const bool final = (first & 0x80) != 0;
    const bool control = (opcode & 0x08) != 0;
    if ((first & 0x70) != 0 || !IsKnown(opcode) || (second & 0x80) == 0)
        return Refuse(CloseCode::ProtocolError);
    quint64 length = second & 0x7f;
    if (control && (!final || length > kMaxControlPayload))
        return Refuse(CloseCode::ProtocolError);

    qsizetype at = 2;
    if (length == 126 || length == 127) {
        const qsizetype extra = length == 126 ? 2 : 8;
        if (bytes.size() < at + extra)
            return {};
        const auto *wide = reinterpret_cast<const uchar *>(bytes.data() + at);
        length = extra == 2 ? qFromBigEndian<quint16>(wide) : qFromBigEndian<quint64>(wide);
        // The shortest form only, and never the top bit of eight bytes.
        if ((extra == 2 && length < 126) || (extra == 8 && length <= 0xffff) || (length >> 63) != 0)
            return Refuse(CloseCode::ProtocolError);
        at += extra;
    }
    if (length > quint64(maxPayload))
        return Refuse(CloseCode::TooBig);
    const auto payloadSize = static_cast<qsizetype>(length);
    if (bytes.size() < at + 4 + payloadSize)
        return {};
    const QByteArrayView mask = bytes.sliced(at, 4);
    at += 4;

    FrameReadResult result;
    result.state = FrameReadResult::State::Complete;
    result.frame.final = final;
    result.frame.opcode = static_cast<WebSocketOpcode>(opcode);
    result.frame.payload = bytes.sliced(at, payloadSize).toByteArray();
    char *payload = result.frame.payload.data();
    for (qsizetype i = 0; i < payloadSize; ++i)
        payload[i] = static_cast<char>(payload[i] ^ mask[i % 4]);
    result.size = at + payloadSize;
    return result;
}

QByteArray ServerFrame(WebSocketOpcode opcode, QByteArrayView payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + 10);
    frame += static_cast<char>(0x80 | static_cast<quint8>(opcode));
    const auto size = static_cast<quint64>(payload.size());
    if (size < 126) {
        frame += static_cast<char>(size);
    } else if (size <= 0xffff) {
        frame += static_cast<char>(126);
        uchar wide[2];
        qToBigEndian<quint16>(static_cast<quint16>(size), wide);
        frame.append(reinterpret_cast<const char *>(wide), 2);
    } else {
        frame += static_cast<char>(127);
        uchar wide[8];
        qToBigEndian<quint64>(size, wide);
        frame.append(reinterpret_cast<const char *>(wide), 8);
    }
    frame += payload;
    return frame;
}

QByteArray CloseFrame(CloseCode code)
{
    uchar payload[2];
    qToBigEndian<quint16>(static_cast<quint16>(code), payload);
    return ServerFrame(WebSocketOpcode::Close,
                       QByteArrayView(reinterpret_cast<const char *>(payload), 2));
}

std::optional<QByteArray> WebSocketAccept(QByteArrayView key)
{
    constexpr qsizetype kKeyBytes = 16;
    const auto decoded =
        QByteArray::fromBase64Encoding(key.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    // 16 bytes take exactly 24 characters, padding included.
    if (!decoded || decoded.decoded.size() != kKeyBytes || key.size() != 24)
        return std::nullopt;
    static constexpr char kGuid[] = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
    return QCryptographicHash::hash(key.toByteArray() + kGuid, QCryptographicHash::Sha1).toBase64();
}

} // namespace orinsub::surfaces::web
