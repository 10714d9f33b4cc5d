#pragma once

#include "ShowFileContent.h"
#include "ShowFileFormat.h"

#include <cstdint>
#include <optional>
#include <span>

namespace orinsub::model {

/// Outcome of parsing show-file bytes. content is complete only when status is Ok; otherwise
/// problem says, in Japanese, where the file breaks (empty for a wrong header).
struct ShowFileParse
{
    ShowFileStatus status = ShowFileStatus::Ok;
    QString problem;
    ShowFileContent content;
};

/// Parses the bytes of a show file completely, without touching any document. No length or
/// count in the file is trusted: one that reaches past the end makes the file corrupt before
/// anything is allocated for it. After the last sub-master record only an intact extension block
/// may follow: the console writes nothing else there, so other bytes mean the file is not what
/// its records say.
class ShowFileReader
{
public:
    static ShowFileParse Parse(std::span<const uint8_t> bytes);

private:
    enum class Field { Header, ChannelName, DimmerCount, Dimmers, SubName, LevelCount, Levels };
    enum class Fault { None, EndsEarly, BeyondEnd, Trailing };

    explicit ShowFileReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    bool ReadChannel(ShowFileContent::ChannelRecord &record, int number);
    bool ReadSubMaster(ShowFileContent::SubMasterRecord &record, int page, int number);
    std::optional<QString> ReadString();
    std::optional<uint64_t> ReadStringLength(bool &wide);
    std::optional<uint64_t> ReadCount();
    std::optional<uint64_t> EscalateFrom16(uint16_t value16);
    template <typename T> std::optional<T> ReadLittleEndian();
    /// Checks that count items of size bytes each fit in what is left.
    bool Fits(uint64_t count, size_t size);
    /// What went wrong and where, for the operator.
    QString Problem() const;
    QString Place() const;

    size_t Remaining() const { return m_bytes.size() - m_pos; }

    std::span<const uint8_t> m_bytes;
    size_t m_pos = 0;
    // Where the reader is, for the message when the file breaks there.
    Field m_field = Field::Header;
    int m_channel = 0;
    int m_page = 0;
    int m_subMaster = 0;
    Fault m_fault = Fault::None;
    unsigned __int128 m_faultBytes = 0; // what a length or count beyond the end asks for
};

} // namespace orinsub::model
