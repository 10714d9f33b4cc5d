#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

namespace orinsub::app {

/// What a section drag carries: a preset row, the output-level strip or a sub-master.
enum class SectionKind { Row, Output, SubMaster };

/// One picture of a drag, placed in the main window's coordinates. Its pixels in the panes'
/// background colour are transparent, so the live window shows through them.
struct DragLayer
{
    QPoint topLeft;
    QImage image;

    QRect Rect() const { return QRect(topLeft, image.size()); }
};

/// What the overlay shows at one moment: the small image, or a target's preview (the target
/// with the section placed on it, and the source's bars).
using DragPicture = std::vector<DragLayer>;

/// The section as the pane shows it, made ready for the drag pictures: 32-bit with alpha, the
/// background colour made transparent.
QImage KeyedSectionPicture(const QImage &paneGrab);

/// The small image that follows the pointer: the section with 3-pixel source bars along its top
/// and bottom, and for a sub-master along its sides too.
QImage SmallDragImage(const QImage &keyedSection, SectionKind kind);

/// The part of a preview that shows drop target `target` (main-window coordinates): the section
/// placed on it where it fits that kind of target, and 5-pixel target bars. A row target
/// (isRow) gets the picture of a row or the output, vertically centred, and bars at its top and
/// bottom; a sub-master target gets the picture of a sub-master at its top-left, and bars along
/// all four edges. The layer covers only that area.
DragLayer RenderTargetLayer(const QImage &keyedSection, SectionKind kind, const QRect &target,
                            bool isRow);

/// The part shared by every preview: 5-pixel bars that mark the source `section`. For the output
/// strip just above and below it; otherwise inside it along the top and bottom, and for a
/// sub-master along its sides too.
DragLayer RenderSourceLayer(SectionKind kind, const QRect &section);

} // namespace orinsub::app
