#include "ControlLayer.h"

#include "Desk.h"
#include "Surface.h"
#include "model/PickUpRule.h"

#include <QTimer>

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace orinsub::surfaces {

using Kind = ControlTarget::Kind;

namespace {

void AddChunks(std::vector<Bank> &banks, Kind kind, int row, int count, int perBank)
{
    for (int first = 0; first < count; first += perBank) {
        Bank bank;
        for (int i = first; i < std::min(count, first + perBank); ++i)
            bank.push_back(ControlTarget{kind, row, i});
        banks.push_back(std::move(bank));
    }
}

class QtFlushTimer final : public FlushTimer
{
public:
    QtFlushTimer()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_due(); });
    }
    Clock::time_point Now() const override { return Clock::now(); }
    void RunOnce(std::chrono::milliseconds delay, std::function<void()> due) override
    {
        m_due = std::move(due);
        m_timer.start(delay);
    }
    void Cancel() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_due;
};

struct SentValue
{
    int value = -1;
    bool caught = false;
};

/// One surface control on one console fader: where the control was, and whether it holds the
/// fader (valid only while the fader is still where this control put it).
struct PickUp
{
    ControlTarget target;
    int last = model::kNoLastValue;
    bool caught = false;
    int applied = -1;
    int appliedB = -1; // "xfade": handle B too, which its level does not show
    // The linked crossfader moves both handles by the control's travel since it caught them,
    // each clamping by itself, as the mouse's linked drag does.
    int grabValue = 0;
    int grabA = 0;
    int grabB = 0;
};

} // namespace

std::vector<Bank> DefaultBanks(int stripsPerBank)
{
    stripsPerBank = std::clamp(stripsPerBank, 1, ControlTarget::kMaxStrips);
    std::vector<Bank> banks;
    AddChunks(banks, Kind::SubFader, 0, ControlTarget::kSubFaders, stripsPerBank);
    AddChunks(banks, Kind::RowFader, 0, ControlTarget::kChannels, stripsPerBank);
    AddChunks(banks, Kind::RowFader, 1, ControlTarget::kChannels, stripsPerBank);
    return banks;
}

SurfaceShape ShapeOf(const std::vector<Bank> &banks)
{
    SurfaceShape shape{0, static_cast<int>(banks.size())};
    for (const Bank &bank : banks)
        shape.strips = std::max(shape.strips, static_cast<int>(bank.size()));
    return shape;
}

struct ControlLayer::Impl
{
    /// Pick-ups by console fader first, so that a fader's controls lie together.
    using PickUpKey = std::pair<ControlTarget, ControlId>;

    struct Attached
    {
        Surface *surface = nullptr; // null once detached during a flush
        std::vector<Bank> banks;
        int bank = 0;
        std::unordered_map<ControlTarget, SentValue> sent; // by shown target
        std::map<PickUpKey, PickUp> pickUps;               // by console fader and control
        std::unordered_set<ControlTarget> touched;         // touched controls, as shown
        std::unordered_set<ControlTarget> marked;          // faders showing this surface's mark
        std::unordered_set<ControlTarget> held;            // momentary buttons held down
    };

    Impl(Desk &desk, std::unique_ptr<FlushTimer> timer) : desk(desk), timer(std::move(timer)) {}

    Desk &desk;
    std::unique_ptr<FlushTimer> timer;
    std::function<void()> flush;
    std::vector<std::unique_ptr<Attached>> attached;
    bool waiting = false;
    std::optional<FlushTimer::Clock::time_point> lastFlush;
    bool flushing = false;

    Attached *Find(const Surface *surface) const
    {
        for (const auto &a : attached) {
            if (a->surface == surface && surface)
                return a.get();
        }
        return nullptr;
    }

    ControlTarget Resolve(const Attached &a, const ControlTarget &target) const
    {
        if (target.kind != Kind::Strip || a.banks.empty())
            return target;
        const Bank &bank = a.banks[a.bank];
        return target.index < static_cast<int>(bank.size()) ? bank[target.index] : target;
    }

    int Value(const ControlTarget &target) const
    {
        return desk.Value(target); // 0 for what it does not have: a strip with no target
    }

    int SurfaceValue(const Attached &a, const ControlTarget &target) const
    {
        const int banks = static_cast<int>(a.banks.size());
        switch (target.kind) {
        case Kind::BankSelect:
            return target.index == a.bank && a.bank < banks ? 1 : 0;
        case Kind::BankNext:
            return a.bank + 1 < banks ? 1 : 0;
        case Kind::BankPrevious:
            return a.bank > 0 ? 1 : 0;
        default:
            return Value(target);
        }
    }

    bool IsWhereItWasPut(const PickUp &pickUp) const
    {
        return pickUp.applied == Value(pickUp.target) &&
               (pickUp.target.kind != Kind::Crossfade || pickUp.appliedB == Value(kHandleB));
    }

    /// Whether a control of the surface holds the fader (the fader is still where it put it).
    bool HoldsFader(const Attached &a, const ControlTarget &target) const
    {
        if (a.surface->IsMotorised() || !target.Family().pickUp)
            return true;
        for (auto it = a.pickUps.lower_bound({target, 0});
             it != a.pickUps.end() && it->first.first == target; ++it) {
            if (it->second.caught && IsWhereItWasPut(it->second))
                return true;
        }
        return false;
    }

    void SetMark(Attached &a, const ControlTarget &target, int level)
    {
        desk.SetPickUpMark(target, level);
        a.marked.insert(target);
    }

    void ClearMark(Attached &a, const ControlTarget &target)
    {
        if (a.marked.erase(target))
            desk.SetPickUpMark(target, -1);
    }

    /// A surface that goes (unplugged, closed) lets go of what it holds: nothing stays flashing.
    void LetGoOfHeldButtons(Attached &a)
    {
        for (const ControlTarget &target : std::exchange(a.held, {}))
            desk.Press(target, false);
    }

    void ClearAllMarks(Attached &a)
    {
        for (const ControlTarget &target : a.marked)
            desk.SetPickUpMark(target, -1);
        a.marked.clear();
    }

    /// Whatever else moved a fader a control held took it from that control: the fader shows
    /// where the control stands from now on.
    void LetGoOfMovedFaders(Attached &a)
    {
        if (a.surface->IsMotorised())
            return;
        for (auto &[key, pickUp] : a.pickUps) {
            if (!pickUp.caught || IsWhereItWasPut(pickUp))
                continue;
            pickUp.caught = false;
            SetMark(a, pickUp.target, pickUp.last);
        }
    }

    void Schedule()
    {
        if (attached.empty() || waiting)
            return;
        waiting = true;
        const auto since = lastFlush ? timer->Now() - *lastFlush : kFeedbackGap;
        const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max<FlushTimer::Clock::duration>(FlushTimer::Clock::duration::zero(),
                                                  kFeedbackGap - since));
        timer->RunOnce(delay, flush);
    }

    void SendChanges(Attached &a)
    {
        // A copy: a surface's feedback may change what it shows (MIDI learning ends).
        const std::vector<ControlTarget> shownTargets = a.surface->ShownTargets();
        for (const ControlTarget &shown : shownTargets) {
            if (!a.surface)
                return; // detached by its own feedback
            if (a.touched.count(shown))
                continue;
            const ControlTarget target = Resolve(a, shown);
            const int value = SurfaceValue(a, target);
            const bool caught = HoldsFader(a, target);
            SentValue &sent = a.sent[shown];
            if (sent.value == value && sent.caught == caught)
                continue;
            sent = {value, caught};
            a.surface->OnFeedback(shown, value, caught);
        }
    }

    /// The surface's own move reached the desk: its controls on that target already show it.
    void MarkOwnMove(Attached &a, const ControlTarget &target)
    {
        const int value = Value(target);
        for (const ControlTarget &shown : a.surface->ShownTargets()) {
            if (Resolve(a, shown) == target)
                a.sent[shown].value = value;
        }
    }

    void MoveFader(Attached &a, ControlId control, const ControlTarget &target, int level, int step)
    {
        PickUp &pickUp = a.pickUps[{target, control}];
        pickUp.target = target;
        const int now = Value(target);
        const bool held = pickUp.caught && IsWhereItWasPut(pickUp);
        const bool catches =
            a.surface->IsMotorised() || model::PicksUp(now, pickUp.last, level, step);
        pickUp.last = level;
        if (!held && !catches) {
            pickUp.caught = false;
            SetMark(a, target, level);
            Schedule();
            return;
        }
        if (!held) {
            ClearMark(a, target);
            pickUp.caught = true;
            pickUp.grabValue = now;
            pickUp.grabA = Value(kHandleA);
            pickUp.grabB = Value(kHandleB);
        }
        if (target.kind == Kind::Crossfade) {
            const int travel = level - pickUp.grabValue;
            desk.MoveCrossfader(std::clamp(pickUp.grabA + travel, 0, 255),
                                std::clamp(pickUp.grabB - travel, 0, 255));
        } else {
            desk.Move(target, level);
        }
        pickUp.applied = Value(target);
        pickUp.appliedB = Value(kHandleB);
        MarkOwnMove(a, target);
        Schedule();
    }

    /// The surface's controls stand nowhere near the fader any more.
    void ForgetPickUps(Attached &a, const ControlTarget &target)
    {
        std::erase_if(a.pickUps, [&](const auto &entry) { return entry.first.first == target; });
        ClearMark(a, target);
    }

    void SelectBank(Attached &a, int bank)
    {
        if (bank < 0 || bank >= static_cast<int>(a.banks.size()) || bank == a.bank)
            return;
        // Every strip now plays another fader: each must pick its fader up afresh and shows it.
        for (const ControlTarget &target : a.banks[a.bank])
            ForgetPickUps(a, target);
        a.bank = bank;
        for (const ControlTarget &target : a.banks[a.bank])
            ForgetPickUps(a, target);
        for (const ControlTarget &shown : a.surface->ShownTargets()) {
            if (shown.kind == Kind::Strip)
                a.sent.erase(shown);
        }
        Schedule();
    }
};

ControlLayer::ControlLayer(Desk &desk, std::unique_ptr<FlushTimer> timer, QObject *parent)
    : QObject(parent), m_desk(desk),
      d(std::make_unique<Impl>(desk, timer ? std::move(timer) : std::make_unique<QtFlushTimer>()))
{
    d->flush = [this] { Flush(); };
    connect(&desk, &Desk::Changed, this, [this] { d->Schedule(); });
}

ControlLayer::~ControlLayer()
{
    for (const auto &a : d->attached)
        d->ClearAllMarks(*a);
}

void ControlLayer::Attach(Surface *surface, std::vector<Bank> banks)
{
    if (!surface || d->Find(surface))
        return;
    auto a = std::make_unique<Impl::Attached>();
    a->surface = surface;
    a->banks = std::move(banks);
    d->attached.push_back(std::move(a));
    Flush(); // the new surface learns every value it shows
}

void ControlLayer::Detach(Surface *surface)
{
    auto &list = d->attached;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it)->surface != surface)
            continue;
        d->ClearAllMarks(**it);
        d->LetGoOfHeldButtons(**it);
        if (d->flushing)
            (*it)->surface = nullptr; // the flush in progress removes it
        else
            list.erase(it);
        return;
    }
}

void ControlLayer::Move(Surface *surface, const ControlTarget &target, int value, int step,
                        ControlId control)
{
    Impl::Attached *a = d->Find(surface);
    if (!a)
        return;
    const ControlTarget resolved = d->Resolve(*a, target);
    const TargetFamily &family = resolved.Family();
    if (family.scope == TargetScope::Bank) {
        // A strip with nothing on this bank: a motor fader goes back to where it shows 0.
        a->sent.erase(target);
        d->Schedule();
        return;
    }
    if (family.action == TargetAction::Button || family.action == TargetAction::Momentary)
        return;
    if (family.clamps)
        value = std::clamp(value, family.min, family.max);
    if (family.pickUp) {
        d->MoveFader(*a, control, resolved, value, step);
        return;
    }
    m_desk.Move(resolved, value);
    d->MarkOwnMove(*a, resolved);
    d->Schedule();
}

void ControlLayer::Press(Surface *surface, const ControlTarget &target, bool down)
{
    Impl::Attached *a = d->Find(surface);
    if (!a)
        return;
    const ControlTarget resolved = d->Resolve(*a, target);
    switch (resolved.kind) {
    case Kind::BankSelect:
        if (down)
            d->SelectBank(*a, resolved.index);
        return;
    case Kind::BankNext:
        if (down)
            d->SelectBank(*a, a->bank + 1);
        return;
    case Kind::BankPrevious:
        if (down)
            d->SelectBank(*a, a->bank - 1);
        return;
    default:
        break;
    }
    const TargetFamily &family = resolved.Family();
    if (family.scope != TargetScope::Desk || resolved.IsContinuous())
        return;
    if (family.action == TargetAction::Momentary) {
        if (down)
            a->held.insert(resolved);
        else
            a->held.erase(resolved);
    }
    m_desk.Press(resolved, down);
}

void ControlLayer::Touch(Surface *surface, const ControlTarget &target, bool touched)
{
    Impl::Attached *a = d->Find(surface);
    if (!a)
        return;
    // A touch belongs to the control as the surface names it: strip/k stays touched across a
    // bank change.
    if (touched) {
        a->touched.insert(target);
        return;
    }
    if (!a->touched.erase(target))
        return;
    // A hand that leaves a fader without a motor leaves it nowhere: a page's knob shows the
    // console again, and its next touch picks up afresh.
    if (!a->surface->IsMotorised())
        d->ForgetPickUps(*a, d->Resolve(*a, target));
    a->sent[target] = SentValue{}; // released: it goes to wherever the desk is now
    d->Schedule();
}

int ControlLayer::Value(const ControlTarget &target) const
{
    return d->Value(target);
}

ControlTarget ControlLayer::Resolve(const Surface *surface, const ControlTarget &target) const
{
    const Impl::Attached *a = d->Find(surface);
    return a ? d->Resolve(*a, target) : target;
}

bool ControlLayer::IsCaught(const Surface *surface, const ControlTarget &target) const
{
    const Impl::Attached *a = d->Find(surface);
    return a && d->HoldsFader(*a, d->Resolve(*a, target));
}

int ControlLayer::GetBankIndex(const Surface *surface) const
{
    const Impl::Attached *a = d->Find(surface);
    return a ? a->bank : -1;
}

void ControlLayer::Flush()
{
    d->timer->Cancel();
    d->waiting = false;
    d->lastFlush = d->timer->Now();
    d->flushing = true;
    for (size_t i = 0; i < d->attached.size(); ++i) {
        Impl::Attached &a = *d->attached[i];
        if (!a.surface)
            continue;
        d->LetGoOfMovedFaders(a);
        d->SendChanges(a);
    }
    d->flushing = false;
    auto &list = d->attached;
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto &a) { return !a->surface; }),
               list.end());
}

} // namespace orinsub::surfaces
