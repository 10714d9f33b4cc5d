#include "DragPicture.h"

#include "AppResources.h"
#include "controls/ConsoleLook.h"
#include "controls/Geometry.h"

#include <QPainter>

namespace orinsub::app {

using controls::BottomOf;
using controls::RectLTRB;
using controls::RightOf;

namespace {

QImage Blank(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void FillTopAndBottom(QPainter &painter, const QRect &r, int width, const QColor &color)
{
    painter.fillRect(RectLTRB(r.x(), r.y(), RightOf(r), r.y() + width), color);
    painter.fillRect(RectLTRB(r.x(), BottomOf(r) - width, RightOf(r), BottomOf(r)), color);
}

void FillSides(QPainter &painter, const QRect &r, int width, const QColor &color)
{
    painter.fillRect(RectLTRB(r.x(), r.y(), r.x() + width, BottomOf(r)), color);
    painter.fillRect(RectLTRB(RightOf(r) - width, r.y(), RightOf(r), BottomOf(r)), color);
}

} // namespace

QImage KeyedSectionPicture(const QImage &paneGrab)
{
    QImage picture = paneGrab.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture.devicePixelRatio() != 1.0) {
        // One image pixel per window pixel, colours untouched, so the keying below stays exact.
        const QSize logical = (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
        picture = picture.scaled(logical, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        picture.setDevicePixelRatio(1.0);
    }
    const QRgb background = controls::kPaneBackground.rgba();
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (line[x] == background)
                line[x] = 0;
        }
    }
    return picture;
}

QImage SmallDragImage(const QImage &keyedSection, SectionKind kind)
{
    QImage image = keyedSection.copy();
    if (image.isNull())
        return image;
    QPainter painter(&image);
    const QRect all = image.rect();
    FillTopAndBottom(painter, all, drag::kSmallImageBarWidth, drag::kSmallImageSourceBars);
    if (kind == SectionKind::SubMaster)
        FillSides(painter, all, drag::kSmallImageBarWidth, drag::kSmallImageSourceBars);
    return image;
}

DragLayer RenderTargetLayer(const QImage &keyedSection, SectionKind kind, const QRect &target,
                            bool isRow)
{
    const bool placed = isRow ? kind != SectionKind::SubMaster : kind == SectionKind::SubMaster;
    const QPoint at =
        isRow ? QPoint(target.x(), target.y() + (target.height() - keyedSection.height()) / 2)
              : target.topLeft();
    QRect area = target;
    if (placed)
        area = area.united(QRect(at, keyedSection.size()));
    DragLayer layer{area.topLeft(), Blank(area.size())};
    if (layer.image.isNull())
        return layer; // out of memory: this preview shows nothing
    QPainter painter(&layer.image);
    painter.translate(-area.topLeft());
    if (placed)
        painter.drawImage(at, keyedSection);
    FillTopAndBottom(painter, target, drag::kPreviewBarWidth, drag::kPreviewTargetBars);
    if (!isRow)
        FillSides(painter, target, drag::kPreviewBarWidth, drag::kPreviewTargetBars);
    return layer;
}

DragLayer RenderSourceLayer(SectionKind kind, const QRect &section)
{
    const int bar = drag::kPreviewBarWidth;
    const QRect area = kind == SectionKind::Output ? section.adjusted(0, -bar, 0, bar) : section;
    DragLayer layer{area.topLeft(), Blank(area.size())};
    if (layer.image.isNull())
        return layer;
    QPainter painter(&layer.image);
    painter.translate(-area.topLeft());
    // For the output strip, area's top and bottom bars lie just outside the strip.
    FillTopAndBottom(painter, area, bar, drag::kPreviewSourceBars);
    if (kind == SectionKind::SubMaster)
        FillSides(painter, area, bar, drag::kPreviewSourceBars);
    return layer;
}

} // namespace orinsub::app
