#include "Chase.h"

#include "ChaseTexts.h"
#include "ChaseTimeline.h"

#include <algorithm>

namespace orinsub::model {

namespace {

bool IsPlaceable(const ChasePlace &place)
{
    if (!place.IsSet())
        return place.number == 0;
    return place.page >= 1 && place.page <= kPages && place.number >= 1 &&
           place.number <= kSubMastersPerPage;
}

// A name is one line of whole characters: it is shown on a sub-master's label and written one
// field to a line by the show tool.
bool IsShowableName(const QString &name)
{
    return QStringView(name).isValidUtf16() && std::none_of(name.begin(), name.end(), [](QChar c) {
               return c.category() == QChar::Other_Control;
           });
}

} // namespace

const Chase *ChaseList::Find(int number) const
{
    const auto found = std::find_if(m_chases.begin(), m_chases.end(), [number](const Chase &chase) {
        return chase.number == number;
    });
    return found == m_chases.end() ? nullptr : &*found;
}

const Chase *ChaseList::OnSubMaster(int page, int number) const
{
    if (page == 0)
        return nullptr;
    const ChasePlace place{page, number};
    const auto found = std::find_if(m_chases.begin(), m_chases.end(),
                                    [&place](const Chase &chase) { return chase.place == place; });
    return found == m_chases.end() ? nullptr : &*found;
}

int ChaseList::FreeNumber() const
{
    int number = 1;
    for (const Chase &chase : m_chases) { // ascending, so the first gap is the lowest
        if (chase.number != number)
            break;
        ++number;
    }
    return number <= kMaxChases ? number : 0;
}

QString ChaseList::Check(const Chase &chase)
{
    if (chase.number < 1 || chase.number > kMaxChases)
        return texts::kChaseNumberRange.toString();
    if (chase.steps.size() > static_cast<size_t>(kMaxChaseSteps))
        return texts::kChaseTooManySteps.toString();
    if (chase.stepMs < kMinChaseStepMs || chase.stepMs > kMaxChaseStepMs)
        return texts::kChaseStepTimeRange.toString();
    if (chase.crossfadePercent < 0 || chase.crossfadePercent > 100)
        return texts::kChaseCrossfadeRange.toString();
    if (static_cast<uint8_t>(chase.direction) > static_cast<uint8_t>(ChaseDirection::Random))
        return texts::kChaseDirectionUnknown.toString();
    if (chase.name.size() > kMaxChaseNameLength)
        return texts::kChaseNameTooLong.toString();
    if (!IsShowableName(chase.name))
        return texts::kChaseNameBroken.toString();
    if (!IsPlaceable(chase.place))
        return texts::kChasePlaceRange.toString();
    return {};
}

QString ChaseList::CheckPlace(const Chase &chase) const
{
    const Chase *there = OnSubMaster(chase.place.page, chase.place.number);
    if (!there || there->number == chase.number)
        return {};
    return texts::kChasePlaceTaken.toString()
        .arg(chase.place.page)
        .arg(chase.place.number)
        .arg(there->number);
}

ChaseEdit ChaseList::Add(Chase chase)
{
    if (QString problem = Check(chase); !problem.isEmpty())
        return {problem, 0};
    if (Find(chase.number))
        return {texts::kChaseExists.toString().arg(chase.number), 0};
    if (QString problem = CheckPlace(chase); !problem.isEmpty())
        return {problem, 0};
    const int number = chase.number;
    const auto at = std::upper_bound(m_chases.begin(), m_chases.end(), number,
                                     [](int n, const Chase &c) { return n < c.number; });
    m_chases.insert(at, std::move(chase));
    return {{}, number};
}

ChaseEdit ChaseList::Replace(Chase chase)
{
    if (QString problem = Check(chase); !problem.isEmpty())
        return {problem, 0};
    const auto found = std::find_if(m_chases.begin(), m_chases.end(),
                                    [&chase](const Chase &c) { return c.number == chase.number; });
    if (found == m_chases.end())
        return {texts::kChaseMissing.toString().arg(chase.number), 0};
    if (QString problem = CheckPlace(chase); !problem.isEmpty())
        return {problem, 0};
    *found = std::move(chase);
    return {{}, found->number};
}

ChaseEdit ChaseList::Remove(int number)
{
    const auto found = std::find_if(m_chases.begin(), m_chases.end(),
                                    [number](const Chase &c) { return c.number == number; });
    if (found == m_chases.end())
        return {texts::kChaseMissing.toString().arg(number), 0};
    m_chases.erase(found);
    return {{}, number};
}

double ChaseBpm(int stepMs)
{
    return BpmOfStep(std::chrono::milliseconds(stepMs));
}

int ChaseStepMsForBpm(double bpm)
{
    // Rounded to the millisecond of a stored step time.
    const auto step = std::chrono::round<std::chrono::milliseconds>(StepOfBpm(bpm));
    return static_cast<int>(std::clamp<int64_t>(step.count(), kMinChaseStepMs, kMaxChaseStepMs));
}

} // namespace orinsub::model
