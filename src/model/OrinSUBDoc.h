#pragma once

#include "Channel.h"
#include "ShowExtension.h"
#include "ShowLimits.h"
#include "SubPage.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace orinsub::model {

/// The show: 80 channels plus the spare channel with their names and patch, 20 pages of
/// 20 sub-masters, and the independent channels, flash mode, fade time and cue list. Fader
/// positions are not part of it. Lives for the whole run; New re-initialises
/// it and Open refills it. UI thread only.
class COrinSUBDoc
{
public:
    COrinSUBDoc();
    virtual ~COrinSUBDoc() = default;
    COrinSUBDoc(const COrinSUBDoc &) = delete;
    COrinSUBDoc &operator=(const COrinSUBDoc &) = delete;

    /// The sub-master of page 1..20 and number 1..20, or null when either is out of range.
    CSubMaster *GetSubMaster(int page, int number) const;
    /// Index 0..80 of the first channel whose list holds d, or -1 (also for d outside 1..512).
    int FindChannelOfDimmer(int d) const;
    /// Takes d out of every channel that holds it; the caller must add it somewhere.
    virtual void UnpatchDimmer(int d);
    /// Moves every dimmer of m_patchSelection to the channel at index (0..80), then empties the
    /// selection. The caller marks the show modified and recomputes that channel.
    virtual void PatchSelectionTo(int channelIndex);
    /// Clears every name and sub-master level, restores the one-to-one patch and the defaults
    /// of m_extension. Sub-master table lengths stay as they are.
    virtual bool OnNewDocument();
    /// Dimmer d on channel d for d <= 80, every other dimmer on the spare channel; empties the
    /// patch selection.
    void RestoreOneToOnePatch();

    CChannel &Channel(int index) const { return *m_channels.at(index); }
    CChannel &SpareChannel() const { return Channel(m_channelCount); }

    /// Stores a channel or sub-master name as the operator typed it. A changed name marks the show
    /// modified, so closing never drops typed names without the save question; the same text
    /// (a name box refilled from the show) changes nothing.
    void StoreTypedName(QString &name, const QString &typed);

    // Each marks the show modified when it changes what the show holds.
    /// Channel 1..80 ignores (or again follows) the grand master and blackout; others do nothing.
    void SetIndependent(int channel, bool independent);
    void SetFlashMode(FlashMode mode);
    /// Tenths of a second, clamped to 0..255.
    void SetFadeTime(int tenths);
    /// Gives every dimmer 1..512 of dimmers the curve; false, changing nothing, when the curve
    /// is out of range (CheckCurve says why) or a number is not a dimmer.
    bool SetDimmerCurves(std::span<const int> dimmers, const DimmerCurve &curve);
    /// Makes one edit of the cue list (the show's list is m_extension.cues): either edit
    /// succeeds and the show is marked modified when the list changed, or the list stays
    /// exactly as it was. Returns what edit returned.
    CueEdit EditCues(const std::function<CueEdit(CueList &)> &edit);
    /// The same for the chase list (m_extension.chases).
    ChaseEdit EditChases(const std::function<ChaseEdit(ChaseList &)> &edit);

    bool IsModified() const { return m_modified; }
    /// Counts every edit, open and save (each call of SetModifiedFlag): a backup console is sent
    /// the show again whenever it moved.
    uint64_t GetEditCount() const { return m_edits; }
    /// Sets the modified flag and tells the listener when it changes.
    void SetModifiedFlag(bool modified = true);
    /// Called with the new value whenever the modified flag changes (the show controller's
    /// title and save prompt follow it).
    void SetModifiedListener(std::function<void(bool)> listener)
    {
        m_onModified = std::move(listener);
    }

    int m_channelCount = kConsoleChannels;
    int m_dimmerCount = kDimmers;
    std::vector<std::unique_ptr<CChannel>> m_channels; // 81: channels 1..80, then the spare one
    std::vector<std::unique_ptr<CSubPage>> m_pages;    // 20, index = page - 1
    std::vector<int32_t> m_patchSelection;             // not saved
    ShowExtension m_extension;

private:
    template <typename List, typename Edit>
    Edit EditList(List &list, const std::function<Edit(List &)> &edit);

    uint64_t m_edits = 0;
    bool m_modified = false;
    std::function<void(bool)> m_onModified;
};

} // namespace orinsub::model
