#include "ShowExchange.h"

#include "ExchangeTexts.h"
#include "OrinSUBDoc.h"

namespace orinsub::model {

ExchangedShow ExchangedShowOf(const COrinSUBDoc &doc)
{
    ExchangedShow show{doc.m_extension.cues, {}};
    for (int d = 1; d <= kDimmers; ++d) {
        const int index = doc.FindChannelOfDimmer(d);
        if (index >= 0 && index < kConsoleChannels)
            show.patch.push_back({d, index + 1, 100});
    }
    return show;
}

QStringList ApplyExchangedShow(COrinSUBDoc &doc, const ExchangedShow &show)
{
    for (int n = 0; n <= kConsoleChannels; ++n)
        doc.Channel(n).ClearDimmers();
    std::array<bool, kDimmers> patched{};
    int proportional = 0;
    for (const PatchedDimmer &entry : show.patch) {
        doc.Channel(entry.channel - 1).AddDimmer(entry.dimmer);
        patched[entry.dimmer - 1] = true;
        proportional += entry.percent != 100 ? 1 : 0;
    }
    for (int d = 1; d <= kDimmers; ++d) {
        if (!patched[d - 1])
            doc.SpareChannel().AddDimmer(d);
    }
    doc.m_patchSelection.clear();
    doc.m_extension.cues = show.cues;
    doc.SetModifiedFlag(true);
    QStringList leftOut;
    if (proportional > 0)
        leftOut.append(texts::kLeftOutProportional.toString().arg(proportional));
    return leftOut;
}

} // namespace orinsub::model
