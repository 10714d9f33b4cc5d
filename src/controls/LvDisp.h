#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A percent readout box: level * 100 / 255, truncated. 0 % shows the zero text, 100 % (255
/// only) the full text, 1-9 % the small format, 10-99 % plain digits.
class CLvDisp
{
public:
    virtual ~CLvDisp() = default;

    /// Fills the box and centres the text in it (logical coordinates).
    void Draw(QPainter &painter) const;
    void SetRect(const QRect &logical) { m_rect = logical; }
    QRect GetRect() const { return m_rect; }
    /// Stores the level; no repaint.
    virtual void SetLevel(uint8_t level) { m_level = level; }
    void SetView(Pane *view) { m_view = view; }
    uint8_t GetLevel() const { return m_level; }
    /// The text the box shows now.
    QString Text() const;

    Pane *m_view = nullptr;
    uint8_t m_level = 0;
    QRect m_rect;
    QString m_zeroText = QStringLiteral("0");
    QString m_fullText = QStringLiteral("FF");
    bool m_smallWithLeadingZero = false; // 1-9 % as "01".."09" instead of "1".."9"
    int m_pointSize = 90;                // tenths of a point
    QColor m_textColor{255, 255, 255};
    QColor m_backColor{0, 0, 0};
};

/// A channel's output readout above its faders, refreshed from the channel-level table.
class CChanLvDisp : public CLvDisp
{
public:
    /// Stores the level and always repaints the box.
    void SetLevel(uint8_t level) override;
    /// Stores the level without repainting; true when it changed.
    bool StoreLevel(uint8_t level);
    /// Repaints the box (its rectangle made client).
    void Invalidate() const;
};

} // namespace orinsub::controls
