#include "KnobArt.h"

#include "ConsoleLook.h"

#include <QPainter>
#include <array>
#include <map>

namespace orinsub::controls {

namespace {

struct KnobLook
{
    int id;
    int width;
    int height;
    QColor body;
    QColor line; // the centre line that marks the level
    bool grips;  // the large knobs carry grip ridges
};

const std::array<KnobLook, 14> &Looks()
{
    static const std::array<KnobLook, 14> looks{{
        {kKnobChannel, 28, 16, QColor(24, 24, 24), QColor(230, 230, 230), false},
        {kKnobChannelSelected, 28, 16, QColor(0, 96, 32), QColor(230, 255, 230), false},
        {kKnobTenth, 28, 16, QColor(200, 200, 200), QColor(24, 24, 24), false},
        {kKnobTenthSelected, 28, 16, QColor(150, 190, 150), QColor(16, 48, 16), false},
        {kKnobCrossB, 40, 48, QColor(160, 160, 160), QColor(40, 40, 40), true},
        {kKnobCrossBLinked, 42, 52, QColor(160, 160, 160), QColor(40, 40, 40), true},
        {kKnobCrossBLinkedSelected, 42, 52, QColor(140, 230, 140), QColor(20, 60, 20), true},
        {kKnobCrossBSelected, 40, 48, QColor(140, 230, 140), QColor(20, 60, 20), true},
        {kKnobSubSelected, 40, 48, QColor(140, 230, 140), QColor(20, 60, 20), true},
        {kKnobSub, 40, 48, QColor(222, 204, 160), QColor(60, 45, 20), true},
        {kKnobCrossALinkedSelected, 42, 52, QColor(0, 150, 150), QColor(220, 255, 255), true},
        {kKnobCrossALinked, 42, 52, QColor(200, 30, 30), QColor(255, 220, 220), true},
        {kKnobCrossA, 40, 48, QColor(200, 30, 30), QColor(255, 220, 220), true},
        {kKnobCrossASelected, 40, 48, QColor(0, 150, 150), QColor(220, 255, 255), true},
    }};
    return looks;
}

const KnobLook *FindLook(int id)
{
    for (const KnobLook &look : Looks()) {
        if (look.id == id)
            return &look;
    }
    return nullptr;
}

// A raised cap: lit upper and left edges, shaded lower and right edges, a centre line across.
QPixmap DrawKnob(const KnobLook &look)
{
    QPixmap pixmap(look.width, look.height);
    pixmap.fill(look.body);
    QPainter p(&pixmap);
    const int w = look.width, h = look.height;
    p.setPen(look.body.lighter(160));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(look.body.darker(220));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    if (look.grips) {
        p.setPen(look.body.darker(130));
        for (int y = 6; y < h - 6; y += 4) {
            if (y < h / 2 - 3 || y > h / 2 + 2)
                p.drawLine(4, y, w - 5, y);
        }
    }
    p.fillRect(2, h / 2 - 1, w - 4, 2, look.line);
    return pixmap;
}

} // namespace

QSize KnobSize(int id)
{
    const KnobLook *look = FindLook(id);
    return look ? QSize(look->width, look->height) : QSize();
}

const QPixmap &KnobPixmap(int id)
{
    static const std::map<int, QPixmap> pixmaps = [] {
        std::map<int, QPixmap> drawn;
        for (const KnobLook &look : Looks())
            drawn.emplace(look.id, DrawKnob(look));
        return drawn;
    }();
    static const QPixmap none;
    const auto it = pixmaps.find(id);
    return it != pixmaps.end() ? it->second : none;
}

} // namespace orinsub::controls
