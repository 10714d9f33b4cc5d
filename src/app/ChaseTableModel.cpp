#include "ChaseTableModel.h"

#include "AppResources.h"
#include "EditorWindowParts.h"

#include <QRegularExpression>
#include <cmath>

namespace orinsub::app {

namespace {

using namespace chasewindow;

constexpr int kHugeNumber = 1'000'000'000;
constexpr int kMsPerMinute = 60'000;

/// Out of every range, so that the chase list's own message answers a text that is no number.
constexpr int kUnreadable = -1;

QString BpmText(int stepMs)
{
    return QString::number(model::ChaseBpm(stepMs), 'f', 1);
}

/// Seconds with as many decimals as the milliseconds need, at least one: "0.5", "0.469", "2.0".
QString TimeText(int ms)
{
    QString text = QString::number(ms / 1000.0, 'f', 3);
    while (text.endsWith(u'0') && !text.endsWith(u".0"))
        text.chop(1);
    return text;
}

QString PlaceText(const model::ChasePlace &place)
{
    return place.IsSet() ? kPlaceText.arg(place.page).arg(place.number) : QString();
}

/// BPM to the step time it stands for; none for 0 (no speed at all).
int StepMsOfTypedBpm(QStringView typed)
{
    const std::optional<int> tenths = ParseTypedNumber(typed, 1, u"BPM");
    if (!tenths || *tenths <= 0)
        return kUnreadable;
    return static_cast<int>(
        std::min<double>(std::lround(kMsPerMinute * 10.0 / *tenths), kHugeNumber));
}

model::ChasePlace TypedPlace(const QString &typed)
{
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty() || text == u"-" || text == u"なし")
        return {};
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,3})\\s*[-/ ー−‐–]\\s*(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {kUnreadable, kUnreadable};
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

} // namespace

std::optional<int> ParseTypedNumber(QStringView typed, int decimals, QStringView unit)
{
    QString text = typed.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (!unit.isEmpty() && text.endsWith(unit, Qt::CaseInsensitive))
        text = text.chopped(unit.size()).trimmed();
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? QStringView(text) : QStringView(text).left(point);
    const QStringView fraction = point < 0 ? QStringView() : QStringView(text).mid(point + 1);
    const auto isDigits = [](QStringView digits) {
        return std::all_of(digits.begin(), digits.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if ((whole.isEmpty() && fraction.isEmpty()) || fraction.size() > decimals || !isDigits(whole) ||
        !isDigits(fraction))
        return std::nullopt;
    int64_t value = 0;
    for (QChar digit : whole)
        value = std::min<int64_t>(value * 10 + (digit.unicode() - u'0'), kHugeNumber);
    for (int place = 0; place < decimals; ++place) {
        const int digit = place < fraction.size() ? fraction[place].unicode() - u'0' : 0;
        value = std::min<int64_t>(value * 10 + digit, kHugeNumber);
    }
    return static_cast<int>(value);
}

ChaseTableModel::ChaseTableModel(const model::ChaseList &chases, Replace replace, QObject *parent)
    : QAbstractTableModel(parent), m_chases(chases), m_replace(std::move(replace)),
      m_shownCount(chases.Count())
{
}

void ChaseTableModel::Reload()
{
    // As many rows as before: their values changed, which an open editor survives.
    if (m_chases.Count() == m_shownCount) {
        if (m_shownCount > 0)
            emit dataChanged(index(0, 0), index(m_shownCount - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_shownCount = m_chases.Count();
    endResetModel();
}

const model::Chase *ChaseTableModel::ChaseAt(int row) const
{
    return row >= 0 && row < m_shownCount && row < m_chases.Count() ? &m_chases.Chases()[row]
                                                                    : nullptr;
}

QStringList ChaseTableModel::Choices(int column)
{
    switch (column) {
    case Direction:
        return {std::begin(kDirections), std::end(kDirections)};
    case Raise:
        return {kRestart, kCarryOn};
    default:
        return {};
    }
}

int ChaseTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownCount;
}

int ChaseTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChaseTableModel::data(const QModelIndex &index, int role) const
{
    const model::Chase *chase = ChaseAt(index.row());
    if (!chase)
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool text =
            index.column() == Name || index.column() == Direction || index.column() == Raise;
        return text ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Number:
        return QString::number(chase->number);
    case Name:
        return chase->name;
    case Steps:
        return QString::number(chase->steps.size());
    case Bpm:
        return BpmText(chase->stepMs);
    case StepTime:
        return TimeText(chase->stepMs);
    case Crossfade:
        return QString::number(chase->crossfadePercent);
    case Direction:
        return Choices(Direction).value(static_cast<int>(chase->direction));
    case Raise:
        return chase->restartOnRaise ? kRestart : kCarryOn;
    case Place:
        return PlaceText(chase->place);
    default:
        return {};
    }
}

QVariant ChaseTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QString titles[ColumnCount] = {kNumberColumn,    kNameColumn,     kStepsColumn,
                                         kBpmColumn,       kStepTimeColumn, kCrossfadeColumn,
                                         kDirectionColumn, kRaiseColumn,    kPlaceColumn};
    return section >= 0 && section < ColumnCount ? titles[section] : QVariant();
}

Qt::ItemFlags ChaseTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool shownOnly = index.column() == Number || index.column() == Steps;
    return index.isValid() && !shownOnly && IsShowEditable() ? flags | Qt::ItemIsEditable : flags;
}

bool ChaseTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const model::Chase *shown = ChaseAt(index.row());
    if (!shown || role != Qt::EditRole)
        return false;
    const QString typed = value.toString();
    // Nothing typed over what was there: no edit, and no change to the show.
    if (typed == data(index, Qt::EditRole).toString())
        return false;
    model::Chase chase = *shown;
    switch (index.column()) {
    case Name:
        chase.name = typed;
        break;
    case Bpm:
        chase.stepMs = StepMsOfTypedBpm(typed);
        break;
    case StepTime:
        chase.stepMs = ParseTypedNumber(typed, 3, u"秒").value_or(kUnreadable);
        break;
    case Crossfade:
        chase.crossfadePercent = ParseTypedNumber(typed, 0, u"%").value_or(kUnreadable);
        break;
    case Direction: {
        // A name that is none of the four is out of range, for the list's message.
        const qsizetype at = Choices(Direction).indexOf(typed.trimmed());
        chase.direction = static_cast<model::ChaseDirection>(at < 0 ? 255 : at);
        break;
    }
    case Raise:
        if (typed.trimmed() != kRestart && typed.trimmed() != kCarryOn)
            return false; // a typed word that is neither keeps what was there
        chase.restartOnRaise = typed.trimmed() == kRestart;
        break;
    case Place:
        chase.place = TypedPlace(typed);
        break;
    default:
        return false;
    }
    return m_replace(std::move(chase));
}

} // namespace orinsub::app
