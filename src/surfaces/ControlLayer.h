#pragma once

#include "ControlTarget.h"

#include <QObject>

#include <memory>
#include <vector>

namespace orinsub::surfaces {

class Surface;

/// A list of targets a surface's strips step through (strip/k plays the k-th target of the
/// current bank).
using Bank = std::vector<ControlTarget>;

/// The default banks: sub-masters 1-8, 9-16, 17-20; row A 1-8 ... 73-80; row B 1-8 ... 73-80.
std::vector<Bank> DefaultBanks(int stripsPerBank = 8);

/// The one road from every surface to the desk. A surface's move reaches a console fader
/// through the pane's own operation, exactly as the mouse would move it (level, mix, readouts,
/// undo record cleared, sub-master page binding); button targets do what their key or menu
/// item does. Pick-up: a surface fader takes over a console fader only when its value reaches
/// or crosses the console fader's level (motorised surfaces skip it), and lets go of it as soon
/// as anything else moves it. Feedback: whatever changes on the desk reaches every attached
/// surface that shows the target within one 20 ms tick, never echoing a surface's own move
/// back to it (a fader it has just caught is reported once, caught, with the level it set).
/// Lamps (page buttons usable, IN, link, GO running, current bank) reach every surface, the
/// one that pressed the button included. "xfade" shows and picks up at handle A's level; once
/// caught it moves both handles by the control's travel, as the linked drag does.
///
/// The panes tell the layer about changes through views::SetDeskListener; one layer at a time.
/// An idle desk costs nothing: the layer only works after a change.
///
/// UI thread only. The desk is reached through g_orin (the panes must exist while surfaces
/// play). Surfaces are not owned; detach one before deleting it.
class ControlLayer : public QObject
{
    Q_OBJECT
public:
    explicit ControlLayer(QObject *parent = nullptr);
    ~ControlLayer() override;

    /// The surface plays from now on, its first bank current; it gets every value it shows at
    /// once. Attaching it again changes nothing.
    void Attach(Surface *surface, std::vector<Bank> banks = DefaultBanks());
    void Detach(Surface *surface);

    /// A continuous control of the surface moved to level (0..255); strip/k is resolved through
    /// the surface's current bank. Button targets: ignored.
    void Move(Surface *surface, const ControlTarget &target, int level);
    /// A button of the surface went down (true) or up; a button acts on the way down.
    void Press(Surface *surface, const ControlTarget &target, bool down);
    /// A motor fader is touched (true) or released: no feedback to that control (the target as
    /// the surface shows it) meanwhile; on release it gets the current value.
    void Touch(Surface *surface, const ControlTarget &target, bool touched);

    /// The desk's value of a target as feedback would give it (strip/k: not resolvable here,
    /// gives 0).
    int Value(const ControlTarget &target) const;
    /// The concrete target strip/k plays on the surface now (any other target: itself).
    ControlTarget Resolve(const Surface *surface, const ControlTarget &target) const;
    /// Whether the surface's fader has picked up the (resolved) target.
    bool IsCaught(const Surface *surface, const ControlTarget &target) const;
    int GetBankIndex(const Surface *surface) const;

    /// Sends feedback now for everything that changed (the layer also does it by itself within
    /// one tick of a change, at most once every 10 ms). Cheap when nothing changed: a surface
    /// that must answer at once may call it right after its own work.
    void Flush();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace orinsub::surfaces
