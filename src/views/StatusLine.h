#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace orinsub::views {

/// The master pane's status line in its client's bottom-right corner: the DMX interface (in red
/// while frames do not reach it), another part of the console (a surface), blackout and the
/// desk lock. A longer text grows the line leftwards, so it is never cut at the pane's edge.
class StatusLine
{
public:
    /// areaWidth: the width of the pane's logical area; in a wide window the line stays near its
    /// right, where the default window has it. Says "no interface" until the first refresh.
    explicit StatusLine(int areaWidth);

    /// The text anew from the port, the extra part, blackout and the lock; true when it or the
    /// output's state changed (the line then stands where Place puts it for client).
    bool Refresh(bool blackout, const QRect &client);
    /// Puts the line in client's bottom-right corner (client coordinates).
    void Place(const QRect &client);
    /// Draws the line where it stands in the client, the content scrolled by scroll.
    void Draw(QPainter &painter, QPoint scroll) const;

    QRect GetRect() const { return m_rect; }
    QString GetText() const { return m_text; }
    bool IsOutputLost() const { return m_outputLost; }
    /// owner's part of the line (a surface, the backup link), asked on every refresh, so it
    /// must be cheap; empty shows nothing. A null extra takes owner's part away.
    void SetExtra(const void *owner, std::function<QString()> extra);

private:
    QFont Font() const;

    int m_areaWidth;
    QRect m_rect; // client coordinates
    QString m_text;
    bool m_outputLost = false;
    std::vector<std::pair<const void *, std::function<QString()>>> m_extras; // in their order
};

} // namespace orinsub::views
