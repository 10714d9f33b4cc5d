#pragma once

#include "Chase.h"

#include <QByteArray>
#include <span>

namespace orinsub::model {

/// The chase list as the extension block's chase record stores it (the layout is documented with
/// the record kinds in ShowExtensionBlock.h).
class ChaseRecord
{
public:
    /// The record's data (without the record header).
    static QByteArray Encode(const ChaseList &chases);
    /// Fills the empty list chases from a record's data; false when the data is not exactly a
    /// list of valid chases in ascending number order, each sub-master holding one at most.
    static bool Decode(std::span<const uint8_t> data, ChaseList &chases);
};

} // namespace orinsub::model
