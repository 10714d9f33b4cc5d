#include "ShowFileContent.h"

#include "OrinSUBDoc.h"
#include "ShowLimits.h"

#include <cassert>

namespace orinsub::model {

bool ShowFileContent::IsComplete() const
{
    return channels.size() == kChannelObjects &&
           subMasters.size() == size_t{kPages} * kSubMastersPerPage;
}

void ShowFileContent::ApplyTo(COrinSUBDoc &doc) &&
{
    assert(IsComplete());
    for (int i = 0; i < kChannelObjects; ++i) {
        CChannel &channel = doc.Channel(i);
        channel.m_name = std::move(channels[i].name);
        channel.m_dimmers = std::move(channels[i].dimmers);
    }
    for (int p = 1; p <= kPages; ++p) {
        for (int n = 1; n <= kSubMastersPerPage; ++n) {
            SubMasterRecord &record = subMasters[(p - 1) * kSubMastersPerPage + (n - 1)];
            CSubMaster *subMaster = doc.GetSubMaster(p, n);
            subMaster->m_name = std::move(record.name);
            subMaster->m_levels = std::move(record.levels);
        }
    }
    doc.m_extension = std::move(extension);
}

} // namespace orinsub::model
