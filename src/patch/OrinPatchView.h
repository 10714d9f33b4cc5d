#pragma once

#include "PatchGridLayout.h"

#include <QAbstractScrollArea>

namespace orinsub::patch {

/// The patch grid: every channel with its dimmers, the selected ones in green. Display only;
/// it scrolls with its scroll bars. Reads the show through model::g_orin.m_pDoc.
class COrinPatchView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit COrinPatchView(QWidget *parent = nullptr);

    /// Lays the grid out again from the show and repaints it: call after changing the patch or
    /// the selection.
    void Refresh();
    /// Scrolls so that channel index 0..80's first line is at the top, unless that line is
    /// already within the first 610 pixels of the pane. Other indices do nothing.
    virtual void ScrollToChannel(int channelIndex);

    /// y of channel index 0..80's first line in the grid.
    int RowTop(int channelIndex) const { return m_layout.RowTop(channelIndex); }
    int ContentHeight() const { return m_layout.ContentHeight(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool LayOut();
    void ApplyScrollSizes();

    CPatchGridLayout m_layout;
    int m_scrollHeight; // the content height the scroll bars were last set for
};

} // namespace orinsub::patch
