#pragma once

#include "ShowLimits.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orinsub::model {

// Cue numbers and times are whole tenths: cue 1.5 is 15, 2.5 s is 25. Times go up to
// kMaxFadeTime.
inline constexpr int kMinCueNumber = 10;   // cue 1
inline constexpr int kMaxCueNumber = 9999; // cue 999.9
inline constexpr int kMaxCues = 999;
inline constexpr int kMaxCueLabelLength = 255;

/// A cue's look: the level of channel n at n - 1.
using CueLook = std::array<uint8_t, kConsoleChannels>;

/// One stored look with the times that play it.
struct Cue
{
    int number = kMinCueNumber; // tenths: 15 is cue 1.5
    QString label;
    CueLook look{};
    int upTime = kDefaultFadeTime;   // the incoming row, tenths of a second
    int downTime = kDefaultFadeTime; // the outgoing row
    int delay = 0;                   // before the outgoing row starts down
    std::optional<int> follow;       // the next cue starts this long after this one's GO;
                                     // without it, the next cue waits for GO

    bool operator==(const Cue &) const = default;
};

/// Outcome of an edit of the cue list. When error is empty the edit was made and number is the
/// cue it made or changed; otherwise error says in Japanese what is wrong and nothing changed.
struct CueEdit
{
    QString error;
    int number = 0;

    bool IsOk() const { return error.isEmpty(); }
};

/// The show's cues in ascending number order, each number once, at most kMaxCues. Every edit
/// checks everything first and either succeeds whole or changes nothing.
class CueList
{
public:
    const std::vector<Cue> &Cues() const { return m_cues; }
    int Count() const { return static_cast<int>(m_cues.size()); }
    bool IsEmpty() const { return m_cues.empty(); }
    bool IsFull() const { return Count() >= kMaxCues; }

    /// Index in Cues() of the cue numbered number, or -1.
    int IndexOf(int number) const;
    /// The cue numbered number, or null.
    const Cue *Find(int number) const;
    /// The first cue numbered above number (what GO plays next), or null after the last. number
    /// need not be a cue's; 0 gives the first cue.
    const Cue *After(int number) const;
    /// The last cue numbered below number (what BACK goes to), or null before the first.
    const Cue *Before(int number) const;

    /// What is wrong with cue on its own (number, times, follow, a label too long or not whole
    /// characters), in Japanese; empty when nothing is.
    static QString Check(const Cue &cue);

    /// Records cue at its place in number order. Fails on a full list, on a number that exists
    /// and on whatever Check finds.
    CueEdit Add(Cue cue);
    /// Replaces the cue of the same number with cue (new times, label, look or follow).
    CueEdit Replace(Cue cue);
    /// Takes cue number out of the list.
    CueEdit Remove(int number);
    /// Records cue right after cue after, numbered between the two: halfway to the next cue,
    /// rounded down to a tenth (1.5 between 1 and 2, 1.2 between 1 and 1.5); after the last cue,
    /// the next whole number (halfway to 1000 beyond 999). Fails when no tenth lies between (1.1
    /// and 1.2: renumber first), on a full list and on whatever Check finds.
    CueEdit Insert(int after, Cue cue);
    /// Numbers the cues 1, 2, 3... in their order.
    void Renumber();

    bool operator==(const CueList &) const = default;

private:
    std::vector<Cue> m_cues;
};

/// A number typed by the operator with at most one decimal ("2", "2.5", " ２．５ 秒"), in
/// tenths; negative and huge numbers come back as such for the range checks. Nullopt for
/// anything else, an empty text included.
std::optional<int> ParseTenths(QStringView text);
/// A time typed by the operator, in tenths of a second: seconds ("90", "2.5") or minutes and
/// two-digit seconds ("1:30", "1:30.5"), full-width digits and colon and a trailing 秒 too.
/// Nullopt for any other form and for a time beyond 0..kMaxFadeTime.
std::optional<int> ParseTime(QStringView text);
/// A cue number as the operator reads it: "1", "1.5".
QString CueNumberText(int tenths);
/// A time as the operator reads and types it: seconds with one decimal below a minute ("59.9"),
/// minutes and seconds from one on ("1:00.0").
QString TimeText(int tenths);
/// TimeText as a readout shows it, with the unit that seconds alone need ("3.0 秒", "1:30.0").
QString TimeWithUnit(int tenths);

} // namespace orinsub::model
