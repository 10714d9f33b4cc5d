#pragma once

#include "model/OrinSUBDoc.h"

namespace orinsub::bench {

/// count cues numbered 1, 2, 3... with Japanese labels, three quarters of the channels up in
/// every look, and a follow on every fifth cue.
inline void AddCues(model::COrinSUBDoc &doc, int count)
{
    doc.EditCues([count](model::CueList &cues) {
        for (int i = 0; i < count; ++i) {
            model::Cue cue;
            cue.number = (i + 1) * 10;
            cue.label = QStringLiteral("シーン %1 夕景").arg(i + 1);
            for (int c = 0; c < model::kConsoleChannels; ++c)
                cue.look[c] = static_cast<uint8_t>(c % 4 == 0 ? 0 : 128 + (i + c) % 128);
            if (i % 5 == 4)
                cue.follow = 20;
            cues.Add(cue);
        }
        return model::CueEdit{};
    });
}

} // namespace orinsub::bench
