#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace orinsub::surfaces::web {

/// The kinds of WebSocket frame (RFC 6455, 5.2).
enum class WebSocketOpcode : quint8 {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xa,
};

/// Why the console closes a page's WebSocket (RFC 6455, 7.4.1).
enum class CloseCode : quint16 {
    Normal = 1000,
    ProtocolError = 1002, // a frame no client may send
    Unsupported = 1003,   // binary data: the page speaks text only
    InvalidText = 1007,   // text that is not UTF-8
    Policy = 1008,        // a message the remote does not take
    TooBig = 1009,
};

struct WebSocketFrame
{
    bool final = true;
    WebSocketOpcode opcode = WebSocketOpcode::Text;
    QByteArray payload; // unmasked
};

/// Where reading a frame a page sent stands.
struct FrameReadResult
{
    enum class State { Incomplete, Complete, Refused };
    State state = State::Incomplete;
    CloseCode refusal = CloseCode::ProtocolError; // Refused: the code to close with
    WebSocketFrame frame;                         // Complete
    qsizetype size = 0;                           // Complete: the bytes the frame took
};

/// Reads the frame at the start of bytes as a client must send it: masked, no reserved bits
/// (the console agrees to no extension), a known opcode, a control frame whole and at most 125
/// bytes, the length in its shortest form. A payload over maxPayload is refused (TooBig) as
/// soon as its length is read. Incomplete until the whole frame has arrived.
FrameReadResult ReadClientFrame(QByteArrayView bytes, qsizetype maxPayload);

/// A frame as the console sends it: whole and unmasked.
QByteArray ServerFrame(WebSocketOpcode opcode, QByteArrayView payload);
QByteArray CloseFrame(CloseCode code);

/// The Sec-WebSocket-Accept answer to a Sec-WebSocket-Key; nothing when the key is not the
/// base64 form of 16 bytes.
std::optional<QByteArray> WebSocketAccept(QByteArrayView key);

} // namespace orinsub::surfaces::web
