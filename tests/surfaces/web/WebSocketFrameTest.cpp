#include "surfaces/web/WebSocketFrame.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::web;
using State = FrameReadResult::State;

namespace {

constexpr qsizetype kMax = 4096;

/// A client's frame: first byte as given, the payload masked with 1 2 3 4; length as given
/// (the shortest form unless forced).
QByteArray ClientFrame(quint8 first, const QByteArray &payload, int lengthForm = 0)
{
    QByteArray frame(1, char(first));
    const qsizetype size = payload.size();
    const int form = lengthForm ? lengthForm : (size < 126 ? 7 : size <= 0xffff ? 16 : 64);
    if (form == 7) {
        frame += char(0x80 | size);
    } else if (form == 16) {
        frame += char(0x80 | 126);
        frame += char(size >> 8);
        frame += char(size & 0xff);
    } else {
        frame += char(0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8)
            frame += char((quint64(size) >> shift) & 0xff);
    }
    const char mask[] = {1, 2, 3, 4};
    frame.append(mask, 4);
    for (qsizetype i = 0; i < size; ++i)
        frame += char(payload[i] ^ mask[i % 4]);
    return frame;
}

} // namespace

TEST(WebSocketFrameReader, ReadsWhatAClientMaySendOnceItHasArrivedWhole)
{
    const QByteArray text = ClientFrame(0x81, "hello");
    for (qsizetype cut = 0; cut < text.size(); ++cut)
        EXPECT_EQ(ReadClientFrame(text.first(cut), kMax).state, State::Incomplete) << cut;
    const FrameReadResult read = ReadClientFrame(text + "next", kMax);
    ASSERT_EQ(read.state, State::Complete);
    EXPECT_EQ(read.frame.payload, "hello");
    EXPECT_EQ(read.frame.opcode, WebSocketOpcode::Text);
    EXPECT_TRUE(read.frame.final);
    EXPECT_EQ(read.size, text.size()) << "what follows is the next frame's";

    const QByteArray fragment = ClientFrame(0x00, QByteArray(300, 'x'));
    const FrameReadResult continued = ReadClientFrame(fragment, kMax);
    ASSERT_EQ(continued.state, State::Complete);
    EXPECT_FALSE(continued.frame.final);
    EXPECT_EQ(continued.frame.payload, QByteArray(300, 'x'));
    EXPECT_EQ(ReadClientFrame(ClientFrame(0x89, {}), kMax).frame.opcode, WebSocketOpcode::Ping);
}

TEST(WebSocketFrameReader, RefusesWhatNoClientMaySend)
{
    const struct
    {
        const char *what;
        QByteArray bytes;
        CloseCode code;
    } cases[] = {
        {"reserved bit", ClientFrame(0xc1, "hi"), CloseCode::ProtocolError},
        {"unknown opcode", ClientFrame(0x83, "hi"), CloseCode::ProtocolError},
        {"fragmented ping", ClientFrame(0x09, {}), CloseCode::ProtocolError},
        {"ping of 126 bytes", ClientFrame(0x89, QByteArray(126, 'p')), CloseCode::ProtocolError},
        {"short length in two bytes", ClientFrame(0x81, "hi", 16), CloseCode::ProtocolError},
        {"short length in eight bytes", ClientFrame(0x81, QByteArray(200, 'x'), 64),
         CloseCode::ProtocolError},
        {"top bit of eight bytes", QByteArray("\x81\xff\x80\0\0\0\0\0\0\0", 10),
         CloseCode::ProtocolError},
        {"over the largest message, known from its header", QByteArray("\x81\xfe\x10\x01", 4),
         CloseCode::TooBig},
    };
    for (const auto &[what, bytes, code] : cases) {
        const FrameReadResult read = ReadClientFrame(bytes, kMax);
        EXPECT_EQ(read.state, State::Refused) << what;
        EXPECT_EQ(read.refusal, code) << what;
    }
}
