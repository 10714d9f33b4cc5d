#include "BackupChecks.h"

#include "backup/BackupWire.h"

namespace orinsub::fuzz {

namespace {

using namespace orinsub::backup;

const QByteArray kKey(32, 'k');

/// A greeting and messages sealed from the input: each piece a type byte, a length byte and that
/// many bytes of payload; then one byte flipped at the position the last two input bytes give.
QByteArray SealedFrom(std::span<const uint8_t> input)
{
    BackupWire sender(kKey, false, QByteArray(BackupWire::kNonceBytes, 'n'));
    BackupWire peer(kKey, true, QByteArray(BackupWire::kNonceBytes, 'm'));
    sender.Feed(peer.Greeting(Role::Live));
    QByteArray bytes = sender.Greeting(static_cast<Role>(input[0] % 4));
    size_t at = 1;
    while (at + 2 <= input.size()) {
        const auto type = static_cast<MessageType>(input[at] % 7);
        const size_t length = std::min<size_t>(input[at + 1], input.size() - at - 2);
        bytes += sender.Seal(type, QByteArray(reinterpret_cast<const char *>(input.data()) + at + 2,
                                              static_cast<qsizetype>(length)));
        at += 2 + length;
    }
    if (input.size() >= 3 && input[input.size() - 1] % 2 == 1) {
        const size_t flip = (input[input.size() - 2] * 256u + input[input.size() - 3]) %
                            static_cast<size_t>(bytes.size());
        bytes[flip] = static_cast<char>(bytes[flip] ^ 0x10);
    }
    return bytes;
}

} // namespace

std::string CheckBackupLink(std::span<const uint8_t> input)
{
    if (input.empty())
        return {};
    const QByteArray bytes = input[0] == 0
                                 ? QByteArray(reinterpret_cast<const char *>(input.data()) + 1,
                                              static_cast<qsizetype>(input.size() - 1))
                                 : SealedFrom(input);
    BackupWire listener(kKey, true, QByteArray(BackupWire::kNonceBytes, 'm'));
    const BackupWire::Read read = listener.Feed(bytes);
    if (listener.IsRefused() == read.refusal.isEmpty())
        return "a refusal without a reason, or a reason without a refusal";
    for (const Message &message : read.messages) {
        if (message.payload.size() > BackupWire::kMaxPayload)
            return "a message beyond the largest";
    }
    if (listener.IsRefused() && !listener.Feed(bytes).refusal.size())
        return "a refused wire took bytes again";
    return {};
}

} // namespace orinsub::fuzz
