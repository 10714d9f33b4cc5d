#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace orinsub::patch {

class COrinPatchView;

/// The entry bar under the patch grid. Typing in the DIM box selects dimmers at each keystroke
/// (green in the grid, which scrolls to the channel of the last number, shown in the CH box);
/// "パッチ" (or Enter) moves them to the channel in the CH box, or back to the spare channel
/// when that box names no console channel. Nothing typed is ever refused.
class CPatchInputView : public QWidget
{
    Q_OBJECT

public:
    /// grid: the patch grid that shows the selection (not owned).
    explicit CPatchInputView(COrinPatchView *grid, QWidget *parent = nullptr);

    /// The DIM box's text becomes the show's patch selection; the CH box shows the channel
    /// of the last number (empty for the spare channel or none) and the grid follows.
    void ParseDimmerEntry();
    /// Moves the selection to the CH box's channel, marks the show modified, recomputes that
    /// channel's output and selects the same dimmers again.
    void ApplyPatch();

    QLineEdit *DimBox() const { return m_dimEdit; }
    QLineEdit *ChannelBox() const { return m_chEdit; }
    QPushButton *PatchButton() const { return m_patchButton; }

private:
    COrinPatchView *m_pGrid;
    QLineEdit *m_dimEdit;
    QLineEdit *m_chEdit;
    QPushButton *m_patchButton;
};

} // namespace orinsub::patch
