#include "PatchGridLayout.h"

#include "PatchLook.h"
#include "model/OrinSUBDoc.h"

namespace orinsub::patch {

namespace {
constexpr int kLabelLeft = 50;
constexpr int kLabelWidth = 30;
constexpr int kColumnPitch = 40;
constexpr int kColumnOrigin = 80; // column c starts at 40 * c + 80
constexpr int kDimmerBoxWidth = 30;
} // namespace

CPatchGridLayout::CPatchGridLayout()
    : m_rowTops(model::kChannelObjects, 0), m_contentHeight(kGridFillHeight)
{
}

void CPatchGridLayout::LayOut(const model::COrinSUBDoc &doc)
{
    m_cells.clear();
    m_separators.clear();
    int line = 1;
    int base = kFirstBase;
    int y = 0;
    for (int i = 0; i < static_cast<int>(doc.m_channels.size()) && i < model::kChannelObjects;
         ++i) {
        y = base + kLineStep * line;
        m_rowTops[i] = y;
        m_cells.push_back({i, 0, QRect(kLabelLeft, y, kLabelWidth, kTextBoxHeight)});
        int column = 0;
        for (int32_t d : doc.m_channels[i]->m_dimmers) {
            if (++column > kDimmersPerLine) {
                column = 1;
                ++line;
                y += kLineStep;
            }
            const int left = kColumnPitch * column + kColumnOrigin;
            m_cells.push_back({i, d, QRect(left, y, kDimmerBoxWidth, kTextBoxHeight)});
        }
        m_separators.emplace_back(0, y + kSeparatorOffset, kGridWidth, 1);
        ++line;
        base += kChannelGap;
    }
    m_contentHeight = y + kTextBoxHeight;
}

} // namespace orinsub::patch
