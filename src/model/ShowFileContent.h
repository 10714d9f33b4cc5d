#pragma once

#include "ShowExtension.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace orinsub::model {

class COrinSUBDoc;

/// Everything a show file stores, read completely and checked before any of it reaches the
/// document: 81 channel records (channels 1..80, then the spare channel) and 400 sub-master
/// records (page by page, sub-master 1..20 within a page), and what the extension block holds
/// (its defaults when the file has none). Lists are kept exactly as stored.
struct ShowFileContent
{
    struct ChannelRecord
    {
        QString name;
        std::vector<int32_t> dimmers;
        bool operator==(const ChannelRecord &) const = default;
    };
    struct SubMasterRecord
    {
        QString name;
        std::vector<uint8_t> levels;
        bool operator==(const SubMasterRecord &) const = default;
    };

    std::vector<ChannelRecord> channels;
    std::vector<SubMasterRecord> subMasters;
    ShowExtension extension;

    bool operator==(const ShowFileContent &) const = default;

    /// True when it has a record for every channel object and every sub-master.
    bool IsComplete() const;
    /// Replaces every stored field of the document in place: names, patch lists, level tables
    /// and the extension. Counts of channels, pages and sub-masters, the patch selection and the
    /// modified flag stay as they are; the mix is not recomputed. Requires IsComplete().
    void ApplyTo(COrinSUBDoc &doc) &&;
};

} // namespace orinsub::model
