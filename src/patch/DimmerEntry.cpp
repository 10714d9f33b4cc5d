#include "DimmerEntry.h"

#include "model/ShowLimits.h"

#include <QString>
#include <algorithm>
#include <bitset>
#include <limits>

namespace orinsub::patch {

namespace {

class SelectionBuilder
{
public:
    void Add(int d)
    {
        if (d < 1 || d > model::kDimmers || m_taken.test(d))
            return;
        m_taken.set(d);
        m_entry.selection.push_back(d);
    }
    // Only the part of the range inside 1..512 can add anything, so only that part is walked.
    void AddRange(int from, int to)
    {
        if (from < to) {
            for (int d = std::max(from, 1), end = std::min(to, model::kDimmers); d <= end; ++d)
                Add(d);
        } else {
            for (int d = std::min(from, model::kDimmers), end = std::max(to, 1); d >= end; --d)
                Add(d);
        }
    }
    DimmerEntry &Entry() { return m_entry; }

private:
    std::bitset<model::kDimmers + 1> m_taken;
    DimmerEntry m_entry;
};

// "," and "/" are typed for "+", "." and "~" for "-"; a "-" after the first one of an entry is
// the sign of the range's end, whichever mark was typed.
QString Canonical(QStringView text)
{
    QString copy = text.toString();
    for (QChar &c : copy) {
        if (c == u',' || c == u'/')
            c = u'+';
        else if (c == u'.' || c == u'~')
            c = u'-';
    }
    return copy;
}

} // namespace

int LeadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int>::max()} + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), kLimit);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

DimmerEntry ParseDimmerEntry(QStringView text)
{
    const QString canonical = Canonical(text);
    const QStringView copy(canonical);
    SelectionBuilder builder;
    qsizetype start = 0;
    while (start <= copy.size()) { // an empty entry counts as 0
        qsizetype end = copy.indexOf(u'+', start);
        if (end < 0)
            end = copy.size();
        const QStringView token = copy.sliced(start, end - start);
        const qsizetype at = token.indexOf(u'-');
        int last;
        if (at < 0) {
            last = LeadingInteger(token);
            builder.Add(last);
        } else {
            const int l = LeadingInteger(token.first(at));
            const int r = LeadingInteger(token.sliced(at + 1));
            if (l != 0 && r != 0) {
                builder.AddRange(l, r);
                last = r;
            } else {
                last = l + r; // one side is 0
                builder.Add(last);
            }
        }
        builder.Entry().last = last;
        start = end + 1;
    }
    return std::move(builder.Entry());
}

int PatchTargetIndex(QStringView chText)
{
    const int channel = LeadingInteger(chText);
    return channel >= 1 && channel <= model::kConsoleChannels ? channel - 1
                                                              : model::kSpareChannelIndex;
}

} // namespace orinsub::patch
