#pragma once

#include <QRect>
#include <vector>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::patch {

/// Where the patch grid draws each channel: its number at the left, then its dimmers ten to a
/// line, 26 pixels per line and a 4-pixel gap between channels, so the first line is at y = 6.
/// Logical (unscrolled) pixels. Laid out again from the document whenever it may have changed;
/// keeps its storage between layouts.
class CPatchGridLayout
{
public:
    struct Cell
    {
        int channelIndex;
        int dimmer; // 0 for the channel's number box
        QRect box;  // the text sits at the top of it, centred across
    };

    CPatchGridLayout();

    void LayOut(const model::COrinSUBDoc &doc);

    /// y of channel index 0..80's first line; 0 before the first layout.
    int RowTop(int channelIndex) const { return m_rowTops.at(channelIndex); }
    /// Number boxes and dimmer boxes of every channel, in drawing order.
    const std::vector<Cell> &Cells() const { return m_cells; }
    /// The 1-pixel separators under each channel.
    const std::vector<QRect> &Separators() const { return m_separators; }
    /// Scroll height that shows the last line whole: its y + 30.
    int ContentHeight() const { return m_contentHeight; }

private:
    std::vector<int> m_rowTops;
    std::vector<Cell> m_cells;
    std::vector<QRect> m_separators;
    int m_contentHeight;
};

} // namespace orinsub::patch
