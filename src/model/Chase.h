#pragma once

#include "ShowLimits.h"
#include "dmx/ChasePlayhead.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace orinsub::model {

inline constexpr int kMaxChases = 99; // chases are numbered 1..99
inline constexpr int kMaxChaseSteps = dmx::kMaxChaseSteps; // what the link tick can play
inline constexpr int kMaxChaseNameLength = 63;
// A step lasts 50 ms (1200 BPM) to 60 s (1 BPM); a new chase steps at 120 BPM.
inline constexpr int kMinChaseStepMs = 50;
inline constexpr int kMaxChaseStepMs = 60000;
inline constexpr int kDefaultChaseStepMs = 500;

/// The order a chase plays its steps in. Random never plays the same step twice in a row.
using dmx::ChaseDirection;

/// A chase step's look: the level of channel n at n - 1.
using dmx::ChaseLook;
static_assert(dmx::kChaseChannels == kConsoleChannels);

/// Where a chase is put: the sub-master whose fader plays it instead of the sub-master's own
/// levels. Page 0 means the chase is on no sub-master.
struct ChasePlace
{
    int page = 0;   // 1..kPages
    int number = 0; // 1..kSubMastersPerPage

    bool IsSet() const { return page != 0; }
    bool operator==(const ChasePlace &) const = default;
};

/// Looks played one after another at a speed, each fading into the next over part of its step.
struct Chase
{
    int number = 1;
    QString name;
    std::vector<ChaseLook> steps;
    int stepMs = kDefaultChaseStepMs;
    int crossfadePercent = 0; // of the step, 0..100: how long the fade into the next step takes
    ChaseDirection direction = ChaseDirection::Forward;
    bool restartOnRaise = true; // raising the fader from 0 starts at step 1; false carries on
    ChasePlace place;

    bool operator==(const Chase &) const = default;
};

/// Outcome of an edit of the chase list, as CueEdit: error empty when the edit was made.
struct ChaseEdit
{
    QString error;
    int number = 0;

    bool IsOk() const { return error.isEmpty(); }
};

/// The show's chases in ascending number order, each number once, at most kMaxChases, each
/// sub-master holding at most one chase. Every edit checks everything first and either succeeds
/// whole or changes nothing.
class ChaseList
{
public:
    const std::vector<Chase> &Chases() const { return m_chases; }
    int Count() const { return static_cast<int>(m_chases.size()); }
    bool IsEmpty() const { return m_chases.empty(); }
    const Chase *Find(int number) const;
    /// The chase put on sub-master number of page, or null.
    const Chase *OnSubMaster(int page, int number) const;
    /// The lowest number no chase has, or 0 when the list is full.
    int FreeNumber() const;

    /// What is wrong with chase on its own (number, steps, times, name), in Japanese; empty
    /// when nothing is.
    static QString Check(const Chase &chase);

    /// Adds a chase of a new number.
    ChaseEdit Add(Chase chase);
    /// Replaces the chase of the same number.
    ChaseEdit Replace(Chase chase);
    ChaseEdit Remove(int number);

    bool operator==(const ChaseList &) const = default;

private:
    /// What stops chase from taking its place: another chase on the same sub-master.
    QString CheckPlace(const Chase &chase) const;

    std::vector<Chase> m_chases;
};

/// BPM with one decimal, as shown, for a step time (one step per beat).
double ChaseBpm(int stepMs);
/// The step time for bpm, clamped to the chase limits.
int ChaseStepMsForBpm(double bpm);

} // namespace orinsub::model
