#pragma once

#include <QString>
#include <cstdint>

namespace orinsub::model {

// The show file (.orin): little-endian, no padding. The header string doubles as the version
// check; then 81 channel records and 400 sub-master records follow, and for a show with
// additions the checksummed extension block (ShowExtensionBlock.h).
inline constexpr char16_t kShowFileHeader[] = u"OrinSUB version 201306 a\n";

// String tags: a first byte 0xFF escalates the length; 0xFFFE after it marks UTF-16 text.
inline constexpr uint8_t kLengthEscape8 = 0xFF;
inline constexpr uint16_t kLengthEscape16 = 0xFFFF;
inline constexpr uint16_t kWideStringTag = 0xFFFE;
inline constexpr uint32_t kLengthEscape32 = 0xFFFFFFFF;

/// Size of a new show as saved: header 54, channels 80 x 10 + 1,734, sub-masters 400 x 518.
inline constexpr int64_t kNewShowFileSize = 209'788;

/// Larger files are refused before they are read into memory: a show the console itself wrote
/// stays far below this even with every name very long.
inline constexpr int64_t kMaxShowFileSize = 64LL * 1024 * 1024;

/// What the console tells the operator when a file's header is not ours.
inline constexpr char16_t kWrongVersionMessage[] = u"バージョンが違います";

enum class ShowFileStatus {
    Ok,
    WrongVersion, // the header string is not the show header
    Corrupt,      // truncated, a length or count beyond the end, a damaged extension block, or
                  // bytes after the last record that are not one
    TooNew,       // its extension block comes from a newer version of the console
    Unreadable,   // missing, not a regular file, or the read failed
    Unwritable,   // the save failed; the previous file is untouched
};

/// Outcome of reading or writing a show file. The message is for the operator: Japanese, it
/// names the file and says what is wrong (empty when ok).
struct ShowFileResult
{
    ShowFileStatus status = ShowFileStatus::Ok;
    QString message;

    bool IsOk() const { return status == ShowFileStatus::Ok; }
};

} // namespace orinsub::model
