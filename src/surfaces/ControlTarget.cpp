#include "ControlTarget.h"

#include "model/Chase.h"
#include "model/CueList.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>

namespace orinsub::surfaces {

namespace {

using Kind = ControlTarget::Kind;
using Action = TargetAction;

constexpr TargetFamily FaderFamily(const char *name, Kind kind, int row, int index, int count)
{
    return {name, kind, row, index, count, Action::Level, 0, 255, TargetScope::Desk, true};
}

constexpr TargetFamily ButtonFamily(const char *name, Kind kind, int index = 0)
{
    return {name, kind, 0, index};
}

constexpr TargetFamily BankFamily(const char *name, Kind kind, int count = 0)
{
    return {name, kind, 0, 0, count, Action::Button, 0, 1, TargetScope::Bank, false, count == 0};
}

/// A cue number in tenths (0: none), as a surface shows and sends it.
constexpr TargetFamily CueFamily(const char *name, Kind kind)
{
    return {name,  kind, 0,    0, 0, Action::Number, 0, model::kMaxCueNumber, TargetScope::Desk,
            false, true, false};
}

// A chase's speed in tenths of a BPM, as its step time bounds it: 1.0 to 1200.0 BPM.
constexpr int kMinChaseBpm = 600'000 / model::kMaxChaseStepMs;
constexpr int kMaxChaseBpm = 600'000 / model::kMinChaseStepMs;
constexpr int kLevelIsWholeBpm = 10;

/// A chase's tap, speed or step: chase/1/tap..chase/99/tap and so on.
constexpr TargetFamily ChaseFamily(const char *suffix, Kind kind, Action action = Action::Button,
                                   int min = 0, int max = 1, int perLevel = 1)
{
    return {.name = "chase",
            .kind = kind,
            .count = ControlTarget::kChases,
            .action = action,
            .min = min,
            .max = max,
            .suffix = suffix,
            .perLevel = perLevel};
}

// Adding a family: a row here (and a Kind), its value and action in the desk over the panes.
constexpr std::array kFamilies{
    FaderFamily("A", Kind::RowFader, 0, 0, ControlTarget::kChannels),
    FaderFamily("B", Kind::RowFader, 1, 0, ControlTarget::kChannels),
    FaderFamily("sub", Kind::SubFader, 0, 0, ControlTarget::kSubFaders),
    TargetFamily{"xfade", Kind::Crossfade, 0, 0, 0, Action::Level, 0, 255, TargetScope::Desk, true,
                 false},
    FaderFamily("xfade/A", Kind::CrossfadeHandle, 0, 0, 0),
    FaderFamily("xfade/B", Kind::CrossfadeHandle, 0, 1, 0),
    ButtonFamily("page/up", Kind::PageUp),
    ButtonFamily("page/down", Kind::PageDown),
    ButtonFamily("in/A", Kind::Input, 0),
    ButtonFamily("in/B", Kind::Input, 1),
    ButtonFamily("in/sub", Kind::Input, 2),
    ButtonFamily("link", Kind::Link),
    ButtonFamily("go", Kind::Go),
    TargetFamily{"go/time", Kind::GoTime, 0, 0, 0, Action::Number, 0, model::kMaxFadeTime},
    TargetFamily{"flash", Kind::Flash, 0, 0, ControlTarget::kSubFaders, Action::Momentary},
    TargetFamily{"flash/mode", Kind::FlashMode, 0, 0, 0, Action::Latch},
    TargetFamily{"independent", Kind::Independent, 0, 0, ControlTarget::kChannels, Action::Latch},
    FaderFamily("gm", Kind::GrandMaster, 0, 0, 0),
    TargetFamily{"blackout", Kind::Blackout, 0, 0, 0, Action::Latch},
    ButtonFamily("cut", Kind::Cut),
    TargetFamily{"strip", Kind::Strip, 0, 0, ControlTarget::kMaxStrips, Action::Level, 0, 255,
                 TargetScope::Bank},
    BankFamily("bank", Kind::BankSelect, ControlTarget::kMaxBanks),
    BankFamily("bank/next", Kind::BankNext),
    BankFamily("bank/prev", Kind::BankPrevious),
    // The cue list through the crossfader.
    TargetFamily{"cue/mode", Kind::CueMode, 0, 0, 0, Action::Latch},
    ButtonFamily("cue/go", Kind::CueGo),
    ButtonFamily("cue/back", Kind::CueBack),
    CueFamily("cue/goto", Kind::CueGoto),
    CueFamily("cue/current", Kind::CueCurrent),
    CueFamily("cue/next", Kind::CueNext),
    TargetFamily{"lock", Kind::Lock, 0, 0, 0, Action::Latch},
    // A readout: its lamp is what a surface shows; pressing it does nothing.
    ButtonFamily("output", Kind::Output),
    ButtonFamily("backup", Kind::Backup),
    // The chases, by their number.
    ChaseFamily("tap", Kind::ChaseTap),
    ChaseFamily("bpm", Kind::ChaseBpm, Action::Number, kMinChaseBpm, kMaxChaseBpm,
                kLevelIsWholeBpm),
    ChaseFamily("step", Kind::ChaseStep),
};

/// How many targets a numbered family has on a surface of that shape.
int CountOn(const TargetFamily &family, const SurfaceShape &shape)
{
    switch (family.kind) {
    case Kind::Strip:
        return std::min(family.count, shape.strips);
    case Kind::BankSelect:
        return std::min(family.count, shape.banks);
    default:
        return family.count;
    }
}

/// Every target of the widest surface by its one name, with its family, made once from the
/// catalogue. OSC looks up every message of a flood here: open addressing over a power of two
/// of slots, at most half of them used, so that a lookup is a hash and a probe or two.
class NameIndex
{
public:
    struct Entry
    {
        std::string_view name;
        ControlTarget target;
        const TargetFamily *family = nullptr; // null: a free slot
    };

    NameIndex()
    {
        const std::vector<ControlTarget> targets = ListTargets(TargetList::Everything);
        m_names.reserve(targets.size()); // the slots hold views of these
        m_slots.resize(std::bit_ceil(targets.size() * 2));
        for (const ControlTarget &target : targets) {
            m_names.push_back(target.Name().toStdString());
            m_slots[SlotOf(m_names.back())] = {m_names.back(), target, &target.Family()};
        }
    }
    const Entry *Find(std::string_view name) const
    {
        const Entry &slot = m_slots[SlotOf(name)];
        return slot.family ? &slot : nullptr;
    }

private:
    /// The slot that holds name, or the free one where it would go.
    size_t SlotOf(std::string_view name) const
    {
        uint64_t hash = 14695981039346656037u; // FNV-1a
        for (const char c : name)
            hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211u;
        const size_t mask = m_slots.size() - 1;
        size_t slot = hash & mask;
        while (m_slots[slot].family && m_slots[slot].name != name)
            slot = (slot + 1) & mask;
        return slot;
    }

    std::vector<std::string> m_names;
    std::vector<Entry> m_slots;
};

bool IsOf(const TargetFamily &family, const ControlTarget &target)
{
    if (family.kind != target.kind || family.row != target.row)
        return false;
    return family.IsNumbered() ? target.index >= 0 && target.index < family.count
                               : target.index == family.index;
}

} // namespace

std::span<const TargetFamily> TargetFamilies()
{
    return kFamilies;
}

std::optional<ControlTarget> ControlTarget::Parse(const QString &name, const SurfaceShape &shape)
{
    const QByteArray utf8 = name.toUtf8();
    return Find(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), shape);
}

std::optional<ControlTarget> ControlTarget::Find(std::string_view name, const SurfaceShape &shape)
{
    static const NameIndex index;
    const NameIndex::Entry *found = index.Find(name);
    if (!found ||
        (found->family->IsNumbered() && found->target.index >= CountOn(*found->family, shape)))
        return std::nullopt;
    return found->target;
}

QString ControlTarget::Name() const
{
    const TargetFamily &family = Family();
    const QString name = QLatin1StringView(family.name);
    if (!family.IsNumbered())
        return name;
    const QString numbered = name + u'/' + QString::number(index + 1);
    return family.suffix ? numbered + u'/' + QLatin1StringView(family.suffix) : numbered;
}

const TargetFamily &ControlTarget::Family() const
{
    // Feedback asks this of every shown target on every pass: the families by kind, found once.
    static const std::vector<std::vector<const TargetFamily *>> byKind = [] {
        std::vector<std::vector<const TargetFamily *>> families;
        for (const TargetFamily &family : kFamilies) {
            const auto kind = static_cast<size_t>(family.kind);
            families.resize(std::max(families.size(), kind + 1));
            families[kind].push_back(&family);
        }
        return families;
    }();
    const auto kind = static_cast<size_t>(this->kind);
    if (kind < byKind.size()) {
        for (const TargetFamily *family : byKind[kind]) {
            if (IsOf(*family, *this))
                return *family;
        }
    }
    return kFamilies.front(); // out of every range: made by hand, never parsed
}

bool ControlTarget::IsContinuous() const
{
    const TargetAction action = Family().action;
    return action == Action::Level || action == Action::Number;
}

std::vector<ControlTarget> ListTargets(TargetList list, const SurfaceShape &shape)
{
    std::vector<ControlTarget> targets;
    for (const TargetFamily &family : kFamilies) {
        if ((list != TargetList::Everything && !family.listed) ||
            (list == TargetList::DeskControls && family.scope != TargetScope::Desk))
            continue;
        if (!family.IsNumbered()) {
            targets.push_back({family.kind, family.row, family.index});
            continue;
        }
        for (int i = 0; i < CountOn(family, shape); ++i)
            targets.push_back({family.kind, family.row, i});
    }
    return targets;
}

} // namespace orinsub::surfaces
