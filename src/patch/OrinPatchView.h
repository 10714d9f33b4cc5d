#pragma once

#include "PatchGridLayout.h"

#include <QAbstractScrollArea>

namespace orinsub::patch {

/// The patch grid: every channel with its dimmers, the selected ones in green, and left of each
/// console channel's number its independent mark. It scrolls with its scroll bars. Reads the show
/// through model::g_orin.m_pDoc; a click on a mark only asks for it to be toggled.
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
    /// The independent mark's box of console channel index 0..79, logical coordinates.
    QRect MarkBox(int channelIndex) const;
    int ContentHeight() const { return m_layout.ContentHeight(); }

signals:
    /// The operator clicked console channel 1..80's independent mark.
    void IndependentMarkClicked(int channel);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool LayOut();
    QPoint ScrollPosition() const;
    void ApplyScrollSizes();

    CPatchGridLayout m_layout;
    int m_scrollHeight; // the content height the scroll bars were last set for
};

} // namespace orinsub::patch
