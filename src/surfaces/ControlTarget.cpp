#include "ControlTarget.h"

#include <QStringList>

namespace orinsub::surfaces {

namespace {

using Kind = ControlTarget::Kind;

/// "1".."max" as a 0-based index; nothing for anything else (no signs, no leading zeros).
std::optional<int> ParseNumber(const QString &text, int max)
{
    if (text.isEmpty() || text.size() > 3 || text.front() == u'0')
        return std::nullopt;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int number = text.toInt();
    if (number > max)
        return std::nullopt;
    return number - 1;
}

std::optional<ControlTarget> Make(Kind kind, int row = 0, int index = 0)
{
    return ControlTarget{kind, row, index};
}

} // namespace

std::optional<ControlTarget> ControlTarget::Parse(const QString &name)
{
    const QStringList parts = name.split(u'/');
    const QString head = parts.front();
    if (parts.size() == 1) {
        if (head == u"xfade")
            return Make(Kind::Crossfade);
        if (head == u"link")
            return Make(Kind::Link);
        if (head == u"go")
            return Make(Kind::Go);
        return std::nullopt;
    }
    if (parts.size() != 2)
        return std::nullopt;
    const QString tail = parts.back();
    auto numbered = [&](Kind kind, int max, int row = 0) -> std::optional<ControlTarget> {
        if (const auto index = ParseNumber(tail, max))
            return Make(kind, row, *index);
        return std::nullopt;
    };
    if (head == u"A" || head == u"B")
        return numbered(Kind::RowFader, kChannels, head == u"A" ? 0 : 1);
    if (head == u"sub")
        return numbered(Kind::SubFader, kSubFaders);
    if (head == u"strip")
        return numbered(Kind::Strip, kMaxStrips);
    if (head == u"xfade" && (tail == u"A" || tail == u"B"))
        return Make(Kind::CrossfadeHandle, 0, tail == u"A" ? 0 : 1);
    if (head == u"page" && (tail == u"up" || tail == u"down"))
        return Make(tail == u"up" ? Kind::PageUp : Kind::PageDown);
    if (head == u"in") {
        if (tail == u"A" || tail == u"B")
            return Make(Kind::Input, 0, tail == u"A" ? 0 : 1);
        if (tail == u"sub")
            return Make(Kind::Input, 0, 2);
        return std::nullopt;
    }
    if (head == u"go" && tail == u"time")
        return Make(Kind::GoTime);
    if (head == u"bank") {
        if (tail == u"next")
            return Make(Kind::BankNext);
        if (tail == u"prev")
            return Make(Kind::BankPrevious);
        return numbered(Kind::BankSelect, kMaxBanks);
    }
    return std::nullopt;
}

QString ControlTarget::Name() const
{
    const QString number = QString::number(index + 1);
    const QString ab = index == 0 ? QStringLiteral("A") : QStringLiteral("B");
    switch (kind) {
    case Kind::RowFader:
        return (row == 0 ? QStringLiteral("A/") : QStringLiteral("B/")) + number;
    case Kind::SubFader:
        return QStringLiteral("sub/") + number;
    case Kind::CrossfadeHandle:
        return QStringLiteral("xfade/") + ab;
    case Kind::Crossfade:
        return QStringLiteral("xfade");
    case Kind::PageUp:
        return QStringLiteral("page/up");
    case Kind::PageDown:
        return QStringLiteral("page/down");
    case Kind::Input:
        return QStringLiteral("in/") + (index == 2 ? QStringLiteral("sub") : ab);
    case Kind::Link:
        return QStringLiteral("link");
    case Kind::Go:
        return QStringLiteral("go");
    case Kind::GoTime:
        return QStringLiteral("go/time");
    case Kind::Strip:
        return QStringLiteral("strip/") + number;
    case Kind::BankSelect:
        return QStringLiteral("bank/") + number;
    case Kind::BankNext:
        return QStringLiteral("bank/next");
    case Kind::BankPrevious:
        return QStringLiteral("bank/prev");
    }
    return {};
}

bool ControlTarget::IsContinuous() const
{
    switch (kind) {
    case Kind::RowFader:
    case Kind::SubFader:
    case Kind::CrossfadeHandle:
    case Kind::Crossfade:
    case Kind::Strip:
    case Kind::GoTime:
        return true;
    default:
        return false;
    }
}

} // namespace orinsub::surfaces
