#pragma once

#include "DragPicture.h"

#include <QWidget>

namespace orinsub::app {

/// A transparent layer over the whole main window that shows the pictures of a section drag: the
/// small image under the pointer, or a drop target's preview. It takes no mouse or keys, and
/// repaints only where a picture was or now is. Hidden while no drag is in progress.
class DragOverlay : public QWidget
{
public:
    explicit DragOverlay(QWidget *window);

    /// Shows the picture (layers in window coordinates) in place of the one shown now.
    void Show(DragPicture picture);
    /// Moves the picture shown now so that its first layer's top-left is at topLeft.
    void MoveTo(QPoint topLeft);
    /// Takes the picture away and hides the layer.
    void End();
    const DragPicture &GetPicture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void UpdatePicture();

    DragPicture m_picture;
};

} // namespace orinsub::app
