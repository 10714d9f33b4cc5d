#include "AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace orinsub::app {

namespace {

QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0); // drawn on the 64 x 64 grid of the desktop icon
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3f, 0x3f, 0x3f));
    painter.drawRoundedRect(QRectF(0, 0, 64, 64), 8, 8);
    for (int x : {13, 31, 49})
        painter.fillRect(QRectF(x, 8, 2, 48), Qt::black);
    painter.fillRect(QRectF(6, 36, 16, 9), QColor(0xc8, 0xc8, 0xb4));
    painter.fillRect(QRectF(24, 16, 16, 9), QColor(0x7f, 0xff, 0x00));
    painter.fillRect(QRectF(42, 26, 16, 9), QColor(0xff, 0x50, 0x50));
    return pixmap;
}

} // namespace

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

} // namespace orinsub::app
