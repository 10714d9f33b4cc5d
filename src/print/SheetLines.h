#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace orinsub::print {

/// A piece of text on a printed line: where it starts and how wide it may be (device units),
/// already wrapped or shortened to fit, and how it sits in that width.
struct Cell
{
    qreal x = 0;
    qreal width = 0;
    QString text;
    Qt::Alignment align = Qt::AlignLeft;
    bool bold = false;
};

using Line = std::vector<Cell>;

/// Lines that a page break never parts: one cue, one channel, one sub-master.
struct Block
{
    std::vector<Line> lines;
};

/// A sheet laid out for one page width: its title, the column heads repeated on every page,
/// and its blocks in order.
struct PrintedSheet
{
    QString title;
    Line heading;
    std::vector<Block> blocks;
};

} // namespace orinsub::print
