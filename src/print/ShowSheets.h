#pragma once

#include "model/DimmerCurve.h"
#include "model/ShowLimits.h"

#include "PaperJob.h"
#include "SheetLines.h"
#include "model/CueList.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <cstdint>

class QPaintDevice;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::print {

/// Lays a show's sheets out as lines of text for a page of the given width, measured with the
/// sheets' font on the device they are printed on: long labels wrap, names that do not fit end
/// in "…", and a cue's or a sub-master's levels run on over as many lines as they need.
class ShowSheets
{
public:
    /// device must outlive the object; width in its units.
    ShowSheets(const QFont &font, QPaintDevice *device, qreal width);

    PrintedSheet Of(Sheet sheet, const model::COrinSUBDoc &doc) const;
    /// Number, label, times and follow of every cue, then the levels of the channels it uses.
    PrintedSheet Cues(const model::COrinSUBDoc &doc) const;
    /// Every channel's dimmers (runs of dimmers as "1–4") and name, then the unpatched dimmers.
    PrintedSheet Patch(const model::COrinSUBDoc &doc) const;
    /// Page, number and name of every sub-master that holds a level or a name, then its levels.
    PrintedSheet SubMasters(const model::COrinSUBDoc &doc) const;

    /// A level as the channel readouts show it: "--" for 0 %, "FF" for full, "05" for 5 %.
    static QString LevelText(uint8_t level);
    /// Ascending dimmers as runs: "1–4, 7, 9–12"; a run of dimmers on another curve than linear
    /// names it: "1–4 (JATET A 上限 90 %), 7".
    static QString DimmerRuns(std::vector<int32_t> dimmers,
                              const std::array<model::DimmerCurve, model::kDimmers> &curves = {});

private:
    /// text broken into lines no wider than width, at word boundaries where it has them
    /// (Japanese between any two characters), at its own line breaks too.
    QStringList Wrap(const QString &text, qreal width) const;
    /// The levels above 0 as cells "channel level name", as many to a line as fit from x to the
    /// right edge, in channel order.
    std::vector<Line> LevelLines(const model::CueLook &levels, const QStringList &names,
                                 qreal x) const;
    /// A label or a name column: the first line beside the other cells, the rest below.
    static void AddWrapped(Block &block, Line first, const QStringList &lines, qreal x,
                           qreal width);
    qreal Advance(QStringView text) const { return m_metrics.horizontalAdvance(text.toString()); }

    QFont m_font;
    QPaintDevice *m_device;
    QFontMetricsF m_metrics;
    qreal m_width;
    qreal m_gap; // between columns
};

} // namespace orinsub::print
