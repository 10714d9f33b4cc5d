// Whatever arrives on the OSC port, the decoder acts only on a well-formed packet, names real
// targets with values in their range (a cue number may lie beyond: it names no cue), treats
// buttons as buttons, and a level it sends back as feedback reads in again as the same level,
// bundled or not. A lone message is well-formed exactly when liblo, the clients' usual library,
// reads it.
#include "surfaces/osc/OscPacket.h"

#include <lo/lo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace orinsub::surfaces;
using namespace orinsub::surfaces::osc;

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "osc packet: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<OscAction> actions;
    OscTally tally;
    const bool wellFormed = DecodeOscPacket({data, size}, actions, tally);
    if (wellFormed != (tally.malformed == 0))
        Fail("the result and the malformed count disagree");
    if (!wellFormed && !actions.empty())
        Fail("a malformed packet acted");
    if (size > 0 && data[0] == '/') {
        int result = 0;
        lo_message liblo = lo_message_deserialise(const_cast<uint8_t *>(data), size, &result);
        if ((liblo != nullptr) != wellFormed)
            Fail(wellFormed ? "a message liblo refuses was read"
                            : "a message liblo reads was refused");
        if (liblo)
            lo_message_free(liblo);
    }
    std::vector<QByteArray> feedback;
    std::vector<OscAction> moves;
    for (const OscAction &action : actions) {
        if (ControlTarget::Parse(action.target.Name()) != action.target)
            Fail("an action names no real target");
        if (action.isMove != action.target.IsContinuous())
            Fail("a button moved or a fader was pressed");
        const TargetFamily &family = action.target.Family();
        const bool inRange = action.level >= family.min && action.level <= family.max;
        if (!inRange && family.clamps)
            Fail("a value outside its target's range");
        // A cue number beyond every cue stays beyond: the desk refuses it, and never shows it.
        if (!action.isMove || !inRange)
            continue;
        moves.push_back(action);
        feedback.push_back(EncodeOscFeedback(action.target, OscValue(action.target, action.level)));
    }
    std::vector<OscAction> echo;
    OscTally echoTally;
    for (const QByteArray &datagram : PackOscMessages(feedback)) {
        if (datagram.size() > kMaxDatagram)
            Fail("feedback does not fit a datagram");
        DecodeOscPacket({reinterpret_cast<const uint8_t *>(datagram.constData()),
                         static_cast<size_t>(datagram.size())},
                        echo, echoTally);
    }
    if (echo != moves)
        Fail("feedback reads back as other levels");
    return 0;
}
