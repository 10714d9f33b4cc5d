#include "ControlLayer.h"

#include "Surface.h"
#include "controls/CrossFader.h"
#include "controls/DanFader.h"
#include "controls/Fader.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "model/OrinGlobal.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/DeskWatch.h"
#include "views/GoFade.h"
#include "views/InputPickUp.h"
#include "views/MasterConsoleView.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace orinsub::surfaces {

using Kind = ControlTarget::Kind;
using model::g_orin;

namespace {

/// Feedback waits at least this long after the previous one: a drag sends at most 100
/// messages a second per control, and still arrives within one 20 ms link tick.
constexpr int kFeedbackGapMs = 10;

int Key(const ControlTarget &target)
{
    return (static_cast<int>(target.kind) * 2 + target.row) * 256 + target.index;
}

/// The console faders a surface fader must pick up before it moves them.
bool IsConsoleFader(const ControlTarget &target)
{
    switch (target.kind) {
    case Kind::RowFader:
    case Kind::SubFader:
    case Kind::CrossfadeHandle:
    case Kind::Crossfade:
        return true;
    default:
        return false;
    }
}

void AddChunks(std::vector<Bank> &banks, Kind kind, int row, int count, int perBank)
{
    for (int first = 0; first < count; first += perBank) {
        Bank bank;
        for (int i = first; i < std::min(count, first + perBank); ++i)
            bank.push_back(ControlTarget{kind, row, i});
        banks.push_back(std::move(bank));
    }
}

struct SentValue
{
    int value = -1;
    bool caught = false;
};

/// One surface control on one console fader: where the control was, and whether it holds the
/// fader (valid only while the fader is still where this control put it).
struct PickUp
{
    int last = -1;
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

struct ControlLayer::Impl
{
    struct Attached
    {
        Surface *surface = nullptr; // null once detached during a flush
        std::vector<Bank> banks;
        int bank = 0;
        std::unordered_map<int, SentValue> sent;       // by shown target
        std::unordered_map<int, PickUp> pickUps;       // by console fader
        std::unordered_set<int> touched;               // touched controls, by shown target
        std::unordered_map<int, ControlTarget> marked; // faders showing this surface's mark
    };

    ControlLayer *owner = nullptr;
    std::vector<std::unique_ptr<Attached>> attached;
    QTimer flushTimer;
    QElapsedTimer sinceFlush;
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
            return owner->Value(target);
        }
    }

    /// Whether the control still holds the fader; lets go once something else moved it.
    bool HoldsFader(Attached &a, const ControlTarget &target)
    {
        if (!IsConsoleFader(target) || a.surface->IsMotorised())
            return true;
        const auto found = a.pickUps.find(Key(target));
        if (found == a.pickUps.end())
            return false;
        PickUp &pickUp = found->second;
        if (pickUp.caught && !IsWhereItWasPut(pickUp, target))
            pickUp.caught = false;
        return pickUp.caught;
    }

    bool IsWhereItWasPut(const PickUp &pickUp, const ControlTarget &target) const
    {
        return pickUp.applied == owner->Value(target) &&
               (target.kind != Kind::Crossfade || pickUp.appliedB == HandleB());
    }

    int HandleB() const { return owner->Value(ControlTarget{Kind::CrossfadeHandle, 0, 1}); }

    /// The console fader that shows a target's pick-up mark ("xfade": handle A).
    static controls::CFader *MarkedFader(const ControlTarget &target)
    {
        views::CDanConsoleView *dan = g_orin.m_pDanView;
        views::CMasterConsoleView *master = g_orin.m_pMasterView;
        switch (target.kind) {
        case Kind::RowFader:
            return dan ? dan->GetFader(target.row * ControlTarget::kChannels + target.index)
                       : nullptr;
        case Kind::SubFader:
            return master ? master->GetSubFader(target.index) : nullptr;
        case Kind::CrossfadeHandle:
            if (!master)
                return nullptr;
            return target.index == 0
                       ? static_cast<controls::CFader *>(master->GetCrossFader()->GetHandleA())
                       : master->GetCrossFader()->GetHandleB();
        case Kind::Crossfade:
            return master ? master->GetCrossFader()->GetHandleA() : nullptr;
        default:
            return nullptr;
        }
    }

    static void SetMark(Attached &a, const ControlTarget &target, int level)
    {
        if (controls::CFader *fader = MarkedFader(target)) {
            fader->SetPickUpMark(level);
            if (level < 0)
                a.marked.erase(Key(target));
            else
                a.marked.emplace(Key(target), target);
        }
    }

    static void ClearMarks(Attached &a, const std::vector<ControlTarget> &targets)
    {
        for (const ControlTarget &target : targets) {
            if (a.marked.count(Key(target)))
                SetMark(a, target, -1);
        }
    }

    static void ClearAllMarks(Attached &a)
    {
        std::vector<ControlTarget> targets;
        for (const auto &[key, target] : a.marked)
            targets.push_back(target);
        ClearMarks(a, targets);
    }

    void Schedule()
    {
        if (attached.empty() || flushTimer.isActive())
            return;
        const qint64 since = sinceFlush.isValid() ? sinceFlush.elapsed() : kFeedbackGapMs;
        flushTimer.start(static_cast<int>(std::max<qint64>(0, kFeedbackGapMs - since)));
    }

    void SendChanges(Attached &a)
    {
        for (const ControlTarget &shown : a.surface->ShownTargets()) {
            if (!a.surface)
                return; // detached by its own feedback
            if (a.touched.count(Key(shown)))
                continue;
            const ControlTarget target = Resolve(a, shown);
            const int value = SurfaceValue(a, target);
            const bool caught = HoldsFader(a, target);
            SentValue &sent = a.sent[Key(shown)];
            if (sent.value == value && sent.caught == caught)
                continue;
            sent = {value, caught};
            a.surface->OnFeedback(shown, value, caught);
        }
    }

    /// The surface's own move reached the desk: its controls on that target already show it.
    void MarkOwnMove(Attached &a, const ControlTarget &target)
    {
        const int value = owner->Value(target);
        for (const ControlTarget &shown : a.surface->ShownTargets()) {
            if (Resolve(a, shown) == target)
                a.sent[Key(shown)].value = value;
        }
    }

    void Apply(const ControlTarget &target, int level, const PickUp &pickUp)
    {
        views::CDanConsoleView *dan = g_orin.m_pDanView;
        views::CMasterConsoleView *master = g_orin.m_pMasterView;
        const auto byte = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
        switch (target.kind) {
        case Kind::RowFader:
            if (dan)
                dan->MoveFaderTo(target.row, target.index, byte(level));
            break;
        case Kind::SubFader:
            if (master)
                master->MoveSubFaderTo(target.index, byte(level));
            break;
        case Kind::CrossfadeHandle:
            if (master)
                master->MoveCrossfaderHandle(target.index, byte(level));
            break;
        case Kind::Crossfade:
            if (master) {
                const int travel = level - pickUp.grabValue;
                master->MoveCrossfader(byte(pickUp.grabA + travel), byte(pickUp.grabB - travel));
            }
            break;
        default:
            break;
        }
    }

    void MoveFader(Attached &a, const ControlTarget &target, int level)
    {
        PickUp &pickUp = a.pickUps[Key(target)];
        const int desk = owner->Value(target);
        const bool held = pickUp.caught && IsWhereItWasPut(pickUp, target);
        const bool catches =
            a.surface->IsMotorised() ||
            (pickUp.last < 0 ? level == desk
                             : views::InputPickUp::Crosses(desk, pickUp.last, level));
        pickUp.last = level;
        if (!held && !catches) {
            if (!a.surface->IsMotorised())
                SetMark(a, target, level);
            return;
        }
        if (!held) {
            SetMark(a, target, -1);
            pickUp.caught = true;
            pickUp.grabValue = desk;
            pickUp.grabA = owner->Value(ControlTarget{Kind::CrossfadeHandle, 0, 0});
            pickUp.grabB = HandleB();
        }
        Apply(target, level, pickUp);
        pickUp.applied = owner->Value(target);
        pickUp.appliedB = HandleB();
        MarkOwnMove(a, target);
        Schedule();
    }

    void SelectBank(Attached &a, int bank)
    {
        if (bank < 0 || bank >= static_cast<int>(a.banks.size()) || bank == a.bank)
            return;
        // Every strip now plays another fader: each must pick its fader up afresh and shows it.
        for (const ControlTarget &target : a.banks[a.bank])
            a.pickUps.erase(Key(target));
        ClearMarks(a, a.banks[a.bank]);
        a.bank = bank;
        for (const ControlTarget &target : a.banks[a.bank])
            a.pickUps.erase(Key(target));
        for (const ControlTarget &shown : a.surface->ShownTargets()) {
            if (shown.kind == Kind::Strip)
                a.sent.erase(Key(shown));
        }
        Schedule();
    }
};

ControlLayer::ControlLayer(QObject *parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->owner = this;
    d->flushTimer.setSingleShot(true);
    d->flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&d->flushTimer, &QTimer::timeout, this, &ControlLayer::Flush);
    views::SetDeskListener(this, [this] { d->Schedule(); });
}

ControlLayer::~ControlLayer()
{
    views::RemoveDeskListener(this);
    for (const auto &a : d->attached)
        Impl::ClearAllMarks(*a);
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
        Impl::ClearAllMarks(**it);
        if (d->flushing)
            (*it)->surface = nullptr; // the flush in progress removes it
        else
            list.erase(it);
        return;
    }
}

void ControlLayer::Move(Surface *surface, const ControlTarget &target, int level)
{
    Impl::Attached *a = d->Find(surface);
    if (!a)
        return;
    const ControlTarget resolved = d->Resolve(*a, target);
    level = std::clamp(level, 0, 255);
    if (resolved.kind == Kind::GoTime) {
        if (views::CMasterConsoleView *master = g_orin.m_pMasterView) {
            master->GetGoFade().SetFadeTime(level);
            d->MarkOwnMove(*a, resolved);
        }
        return;
    }
    if (IsConsoleFader(resolved))
        d->MoveFader(*a, resolved, level);
}

void ControlLayer::Press(Surface *surface, const ControlTarget &target, bool down)
{
    Impl::Attached *a = d->Find(surface);
    if (!a || !down)
        return;
    const ControlTarget resolved = d->Resolve(*a, target);
    views::CMasterConsoleView *master = g_orin.m_pMasterView;
    switch (resolved.kind) {
    case Kind::PageUp:
    case Kind::PageDown:
        if (master)
            master->StepPage(resolved.kind == Kind::PageUp);
        break;
    case Kind::Input:
        views::ToggleInputHook(static_cast<views::InputTarget>(resolved.index));
        break;
    case Kind::Link:
        if (master)
            master->ToggleCrossfaderLink();
        break;
    case Kind::Go:
        if (master)
            master->GetGoFade().Go();
        break;
    case Kind::BankSelect:
        d->SelectBank(*a, resolved.index);
        break;
    case Kind::BankNext:
        d->SelectBank(*a, a->bank + 1);
        break;
    case Kind::BankPrevious:
        d->SelectBank(*a, a->bank - 1);
        break;
    default:
        break;
    }
}

void ControlLayer::Touch(Surface *surface, const ControlTarget &target, bool touched)
{
    Impl::Attached *a = d->Find(surface);
    if (!a)
        return;
    // A touch belongs to the control as the surface names it: strip/k stays touched across a
    // bank change.
    if (touched) {
        a->touched.insert(Key(target));
        return;
    }
    if (!a->touched.erase(Key(target)))
        return;
    a->sent[Key(target)] = SentValue{}; // released: it goes to wherever the desk is now
    d->Schedule();
}

int ControlLayer::Value(const ControlTarget &target) const
{
    const views::CDanConsoleView *dan = g_orin.m_pDanView;
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    switch (target.kind) {
    case Kind::RowFader:
        return dan && target.row >= 0 && target.row <= 1 && target.index >= 0 &&
                       target.index < ControlTarget::kChannels
                   ? dan->GetFader(target.row * ControlTarget::kChannels + target.index)->GetLevel()
                   : 0;
    case Kind::SubFader: {
        const controls::CSubFader *fader = master ? master->GetSubFader(target.index) : nullptr;
        return fader ? fader->GetLevel() : 0;
    }
    case Kind::CrossfadeHandle:
        return master ? master->GetCrossfaderLevel(target.index) : 0;
    case Kind::Crossfade:
        return master ? master->GetCrossfaderLevel(0) : 0;
    case Kind::PageUp:
        return master && master->GetPageUpLamp()->IsOn() ? 1 : 0;
    case Kind::PageDown:
        return master && master->GetPageDownLamp()->IsOn() ? 1 : 0;
    case Kind::Input:
        return views::IsInputHookOn(static_cast<views::InputTarget>(target.index)) ? 1 : 0;
    case Kind::Link:
        return master && master->GetCrossFader()->IsLinked() ? 1 : 0;
    case Kind::Go:
        return master && master->GetGoFade().IsRunning() ? 1 : 0;
    case Kind::GoTime:
        return master ? std::min(master->GetGoFade().GetFadeTime(), 255) : 0;
    default:
        return 0;
    }
}

ControlTarget ControlLayer::Resolve(const Surface *surface, const ControlTarget &target) const
{
    const Impl::Attached *a = d->Find(surface);
    return a ? d->Resolve(*a, target) : target;
}

bool ControlLayer::IsCaught(const Surface *surface, const ControlTarget &target) const
{
    Impl::Attached *a = d->Find(surface);
    return a && d->HoldsFader(*a, d->Resolve(*a, target));
}

int ControlLayer::GetBankIndex(const Surface *surface) const
{
    const Impl::Attached *a = d->Find(surface);
    return a ? a->bank : -1;
}

void ControlLayer::Flush()
{
    d->flushTimer.stop();
    d->sinceFlush.restart();
    d->flushing = true;
    for (size_t i = 0; i < d->attached.size(); ++i) {
        if (d->attached[i]->surface)
            d->SendChanges(*d->attached[i]);
    }
    d->flushing = false;
    auto &list = d->attached;
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto &a) { return !a->surface; }),
               list.end());
}

} // namespace orinsub::surfaces
