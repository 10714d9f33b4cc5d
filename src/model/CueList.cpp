#include "CueList.h"

#include "CueTexts.h"

#include <algorithm>

namespace orinsub::model {

namespace {

/// Beyond every range a typed number is checked against, so that a long string of digits
/// reads as out of range instead of overflowing.
constexpr int kHugeTenths = 100'000'000;

CueEdit Failed(QStringView text)
{
    return {text.toString(), 0};
}

CueEdit Failed(QStringView text, int number)
{
    return {text.toString().arg(CueNumberText(number)), 0};
}

bool IsTime(int tenths)
{
    return tenths >= 0 && tenths <= kMaxFadeTime;
}

} // namespace

int CueList::IndexOf(int number) const
{
    const auto found = std::lower_bound(m_cues.begin(), m_cues.end(), number,
                                        [](const Cue &cue, int n) { return cue.number < n; });
    return found != m_cues.end() && found->number == number
               ? static_cast<int>(found - m_cues.begin())
               : -1;
}

const Cue *CueList::Find(int number) const
{
    const int index = IndexOf(number);
    return index < 0 ? nullptr : &m_cues[index];
}

const Cue *CueList::After(int number) const
{
    const auto next = std::upper_bound(m_cues.begin(), m_cues.end(), number,
                                       [](int n, const Cue &cue) { return n < cue.number; });
    return next == m_cues.end() ? nullptr : &*next;
}

const Cue *CueList::Before(int number) const
{
    const auto at = std::lower_bound(m_cues.begin(), m_cues.end(), number,
                                     [](const Cue &cue, int n) { return cue.number < n; });
    return at == m_cues.begin() ? nullptr : &*(at - 1);
}

QString CueList::Check(const Cue &cue)
{
    if (cue.number < kMinCueNumber || cue.number > kMaxCueNumber)
        return texts::kCueNumberRange.toString();
    for (auto [time, name] :
         {std::pair{cue.upTime, texts::kOfUpTime}, std::pair{cue.downTime, texts::kOfDownTime},
          std::pair{cue.delay, texts::kOfDelay}}) {
        if (!IsTime(time))
            return texts::kTimeRange.toString().arg(name);
    }
    if (cue.follow && !IsTime(*cue.follow))
        return texts::kCueFollowRange.toString();
    if (cue.label.size() > kMaxCueLabelLength)
        return texts::kCueLabelTooLong.toString();
    if (!QStringView(cue.label).isValidUtf16())
        return texts::kCueLabelBroken.toString();
    return {};
}

CueEdit CueList::Add(Cue cue)
{
    if (QString problem = Check(cue); !problem.isEmpty())
        return {problem, 0};
    if (IsFull())
        return Failed(texts::kCueListFull);
    const int number = cue.number;
    // Recording and reading a show add at the end: no search for those.
    if (m_cues.empty() || m_cues.back().number < number) {
        m_cues.push_back(std::move(cue));
        return {{}, number};
    }
    if (IndexOf(number) >= 0)
        return Failed(texts::kCueExists, number);
    const auto at = std::upper_bound(m_cues.begin(), m_cues.end(), number,
                                     [](int n, const Cue &c) { return n < c.number; });
    m_cues.insert(at, std::move(cue));
    return {{}, number};
}

CueEdit CueList::Replace(Cue cue)
{
    if (QString problem = Check(cue); !problem.isEmpty())
        return {problem, 0};
    const int index = IndexOf(cue.number);
    if (index < 0)
        return Failed(texts::kCueMissing, cue.number);
    m_cues[index] = std::move(cue);
    return {{}, m_cues[index].number};
}

CueEdit CueList::Remove(int number)
{
    const int index = IndexOf(number);
    if (index < 0)
        return Failed(texts::kCueMissing, number);
    m_cues.erase(m_cues.begin() + index);
    return {{}, number};
}

CueEdit CueList::Insert(int after, Cue cue)
{
    if (IndexOf(after) < 0)
        return Failed(texts::kCueMissing, after);
    if (IsFull())
        return Failed(texts::kCueListFull);
    const Cue *next = After(after);
    const int whole = (after / 10 + 1) * 10;
    const int upper = next ? next->number : kMaxCueNumber + 1;
    const int number = !next && whole <= kMaxCueNumber ? whole : (after + upper) / 2;
    if (number <= after) {
        return next ? CueEdit{texts::kNoNumberBetween.toString().arg(CueNumberText(after),
                                                                     CueNumberText(next->number)),
                              0}
                    : Failed(texts::kNoNumberAfter, after);
    }
    cue.number = number;
    return Add(std::move(cue));
}

void CueList::Renumber()
{
    for (size_t i = 0; i < m_cues.size(); ++i)
        m_cues[i].number = static_cast<int>(i + 1) * 10;
}

std::optional<int> ParseTenths(QStringView typed)
{
    QString text = typed.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.endsWith(u'秒'))
        text = text.chopped(1).trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? QStringView(text) : QStringView(text).left(point);
    const QStringView tenth = point < 0 ? QStringView() : QStringView(text).mid(point + 1);
    const auto isDigits = [](QStringView digits) {
        return std::all_of(digits.begin(), digits.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if ((whole.isEmpty() && tenth.isEmpty()) || tenth.size() > 1 || !isDigits(whole) ||
        !isDigits(tenth))
        return std::nullopt;
    int value = 0;
    for (QChar digit : whole)
        value = std::min(value * 10 + (digit.unicode() - u'0'), kHugeTenths);
    value = std::min(value * 10, kHugeTenths);
    if (!tenth.isEmpty())
        value += tenth[0].unicode() - u'0';
    return negative ? -value : value;
}

QString CueNumberText(int tenths)
{
    return tenths % 10 == 0 ? QString::number(tenths / 10)
                            : QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

std::optional<int> ParseTime(QStringView typed)
{
    QString text = typed.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.endsWith(u'秒'))
        text = text.chopped(1).trimmed();
    const qsizetype colon = text.indexOf(u':');
    std::optional<int> tenths;
    if (colon < 0) {
        tenths = ParseTenths(text);
    } else {
        const QStringView minutes = QStringView(text).left(colon);
        const QStringView seconds = QStringView(text).mid(colon + 1);
        const qsizetype point = seconds.indexOf(u'.');
        // "1:5" could mean 1:05 or 1:50: the seconds take two digits.
        const bool twoDigits = (point < 0 ? seconds.size() : point) == 2;
        const std::optional<int> m = minutes.contains(u'.') ? std::nullopt : ParseTenths(minutes);
        const std::optional<int> s = twoDigits ? ParseTenths(seconds) : std::nullopt;
        const int maxMinutes = kMaxFadeTime / kTenthsPerMinute;
        if (m && s && *m >= 0 && *m / 10 <= maxMinutes && *s >= 0 && *s < kTenthsPerMinute)
            tenths = *m / 10 * kTenthsPerMinute + *s;
    }
    if (!tenths || *tenths < 0 || *tenths > kMaxFadeTime)
        return std::nullopt;
    return tenths;
}

QString TimeText(int tenths)
{
    if (tenths < kTenthsPerMinute)
        return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    const int seconds = tenths % kTenthsPerMinute;
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / kTenthsPerMinute)
        .arg(seconds / 10, 2, 10, QLatin1Char('0'))
        .arg(seconds % 10);
}

QString TimeWithUnit(int tenths)
{
    return tenths < kTenthsPerMinute ? texts::kSecondsShown.toString().arg(TimeText(tenths))
                                     : TimeText(tenths);
}

} // namespace orinsub::model
