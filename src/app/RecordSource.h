#pragma once

#include "model/ShowLimits.h"

#include <array>
#include <cstdint>

class QBoxLayout;
class QComboBox;
class QSpinBox;
class QWidget;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

/// "記録元": where a recorded look comes from, and the controls that choose it. The output as it
/// is now under the masters (before the grand master, blackout, flash and solo), row A's or row
/// B's faders, or a sub-master's levels for channels 1..80 (PAGE and No., usable only then).
/// Recording only reads the desk. UI thread only; the show must outlive it.
class RecordSource
{
public:
    enum class Source { Output, RowA, RowB, SubMaster }; // in the order the box lists them
    using Look = std::array<uint8_t, model::kConsoleChannels>;

    /// The controls are made as children of parent.
    RecordSource(const model::COrinSUBDoc &doc, QWidget *parent);

    /// Puts the caption, the box, PAGE and No. into layout, in that order.
    void AddTo(QBoxLayout &layout) const;
    /// The look the chosen source gives now: channel n at n - 1.
    Look LookNow() const;

    QComboBox *SourceBox() const { return m_source; }
    QSpinBox *PageBox() const { return m_page; }
    QSpinBox *SubMasterBox() const { return m_subMaster; }

private:
    const model::COrinSUBDoc &m_doc;
    QWidget *m_parent;
    QComboBox *m_source;
    QSpinBox *m_page;
    QSpinBox *m_subMaster;
};

} // namespace orinsub::app
