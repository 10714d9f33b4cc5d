#include "ShowJson.h"

#include "ToolTexts.h"
#include "model/CueList.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowLimits.h"
#include "model/StrictJsonReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <bitset>
#include <limits>

namespace orinsub::tools {

namespace {

using model::ShowFileContent;

// The show's additions, after the sub-masters.
constexpr QStringView kIndependent = u"independent";
constexpr QStringView kFlashMode = u"flashmode";
constexpr QStringView kFadeTime = u"fadetime";
constexpr QStringView kCues = u"cues";
constexpr QStringView kFlashModeNames[] = {u"flash", u"solo"}; // by model::FlashMode
constexpr QStringView kChases = u"chases";
constexpr QStringView kCurves = u"curves";
constexpr QStringView kCurveNames[] = {u"linear", u"square", u"hall-a", u"hall-b",
                                       u"switch"}; // by model::CurveKind
constexpr QStringView kDirectionNames[] = {u"forward", u"backward", u"bounce",
                                           u"random"}; // by model::ChaseDirection

void AppendQuoted(QByteArray &out, const QString &text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            quoted += c;
            quoted += text[++i];
        } else if (c == u'"' || c == u'\\') {
            quoted += u'\\';
            quoted += c;
        } else if (c == u'\n') {
            quoted += u"\\n";
        } else if (c == u'\t') {
            quoted += u"\\t";
        } else if (c == u'\r') {
            quoted += u"\\r";
        } else if (c.unicode() < 0x20 || c.isSurrogate()) {
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            quoted += c;
        }
    }
    quoted += u'"';
    out += quoted.toUtf8();
}

/// A time in tenths: a number below a minute, as every time was before long ones; from a minute
/// on the console's own text ("10:00.0"), which reads at a glance where 6000 would not.
QByteArray TimeJson(int tenths)
{
    return tenths < model::kTenthsPerMinute ? QByteArray::number(tenths)
                                            : '"' + model::TimeText(tenths).toUtf8() + '"';
}

template <typename List> void AppendNumbers(QByteArray &out, const List &numbers)
{
    out += '[';
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += QByteArray::number(numbers[i]);
    }
    out += ']';
}

/// Walks the parsed JSON and keeps the first thing that is not a show.
class ShowChecker
{
public:
    bool Check(const QJsonValue &root, ShowFileContent &content)
    {
        QJsonObject show;
        QJsonArray channels;
        QJsonArray subMasters;
        if (!Object(root, texts::kRoot.toString(), {u"channels", u"submasters"},
                    {kIndependent, kFlashMode, kFadeTime, kCues, kChases, kCurves}, show) ||
            !Array(show[u"channels"], QStringLiteral("channels"), model::kChannelObjects,
                   channels) ||
            !Array(show[u"submasters"], QStringLiteral("submasters"),
                   model::kPages * model::kSubMastersPerPage, subMasters))
            return false;

        content.channels.resize(model::kChannelObjects);
        for (int i = 0; i < model::kChannelObjects; ++i) {
            if (!Channel(channels[i], QStringLiteral("channels[%1]").arg(i), i + 1,
                         content.channels[i]))
                return false;
        }
        content.subMasters.resize(model::kPages * model::kSubMastersPerPage);
        for (int i = 0; i < model::kPages * model::kSubMastersPerPage; ++i) {
            if (!SubMaster(subMasters[i], QStringLiteral("submasters[%1]").arg(i),
                           i / model::kSubMastersPerPage + 1, i % model::kSubMastersPerPage + 1,
                           content.subMasters[i]))
                return false;
        }
        return Extension(show, content.extension);
    }

    QString error;

private:
    bool Channel(const QJsonValue &value, const QString &where, int number,
                 ShowFileContent::ChannelRecord &record)
    {
        QJsonObject channel;
        QJsonArray dimmers;
        if (!Object(value, where, {u"number", u"name", u"dimmers"}, channel) ||
            !Exactly(channel[u"number"], where + QStringLiteral(".number"), number) ||
            !String(channel[u"name"], where + QStringLiteral(".name"), record.name) ||
            !Array(channel[u"dimmers"], where + QStringLiteral(".dimmers"), -1, dimmers))
            return false;
        record.dimmers.resize(dimmers.size());
        for (qsizetype i = 0; i < dimmers.size(); ++i) {
            qint64 dimmer = 0;
            if (!Integer(dimmers[i], where + QStringLiteral(".dimmers[%1]").arg(i),
                         std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                         dimmer))
                return false;
            record.dimmers[i] = static_cast<int32_t>(dimmer);
        }
        return true;
    }

    bool SubMaster(const QJsonValue &value, const QString &where, int page, int number,
                   ShowFileContent::SubMasterRecord &record)
    {
        QJsonObject subMaster;
        QJsonArray levels;
        if (!Object(value, where, {u"page", u"number", u"name", u"levels"}, subMaster) ||
            !Exactly(subMaster[u"page"], where + QStringLiteral(".page"), page) ||
            !Exactly(subMaster[u"number"], where + QStringLiteral(".number"), number) ||
            !String(subMaster[u"name"], where + QStringLiteral(".name"), record.name) ||
            !Array(subMaster[u"levels"], where + QStringLiteral(".levels"), -1, levels))
            return false;
        record.levels.resize(levels.size());
        for (qsizetype i = 0; i < levels.size(); ++i) {
            qint64 level = 0;
            if (!Integer(levels[i], where + QStringLiteral(".levels[%1]").arg(i), 0, 255, level))
                return false;
            record.levels[i] = static_cast<uint8_t>(level);
        }
        return true;
    }

    /// The show's additions; a field left out keeps a new show's value.
    bool Extension(const QJsonObject &show, model::ShowExtension &extension)
    {
        if (show.contains(kIndependent)) {
            QJsonArray channels;
            if (!Array(show[kIndependent], kIndependent.toString(), -1, channels))
                return false;
            for (qsizetype i = 0; i < channels.size(); ++i) {
                const QString where = QStringLiteral("%1[%2]").arg(kIndependent).arg(i);
                qint64 channel = 0;
                if (!Integer(channels[i], where, 1, model::kConsoleChannels, channel))
                    return false;
                if (extension.IsIndependent(static_cast<int>(channel)))
                    return Fail(texts::kTwice.toString().arg(where).arg(channel));
                extension.independent[channel - 1] = true;
            }
        }
        if (show.contains(kFlashMode)) {
            const QString mode = show[kFlashMode].toString();
            const auto *named = std::find(std::begin(kFlashModeNames), std::end(kFlashModeNames),
                                          QStringView(mode));
            if (named == std::end(kFlashModeNames))
                return Fail(texts::kNeedEither.toString().arg(kFlashMode, kFlashModeNames[0],
                                                              kFlashModeNames[1]));
            extension.flashMode =
                static_cast<model::FlashMode>(named - std::begin(kFlashModeNames));
        }
        if (show.contains(kFadeTime)) {
            int tenths = 0;
            if (!Time(show[kFadeTime], kFadeTime.toString(), tenths))
                return false;
            extension.fadeTime = static_cast<uint16_t>(tenths);
        }
        return (!show.contains(kCues) || Cues(show[kCues], extension.cues)) &&
               (!show.contains(kChases) || Chases(show[kChases], extension.chases)) &&
               (!show.contains(kCurves) || Curves(show[kCurves], extension.curves));
    }

    /// [{"dimmer", "curve", "threshold", "limit"}...], each dimmer once.
    bool Curves(const QJsonValue &value, std::array<model::DimmerCurve, model::kDimmers> &curves)
    {
        QJsonArray list;
        if (!Array(value, kCurves.toString(), -1, list))
            return false;
        std::bitset<model::kDimmers> seen;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]").arg(kCurves).arg(i);
            QJsonObject object;
            qint64 dimmer = 0, threshold = 0, limit = 0;
            if (!Object(list[i], where, {u"dimmer", u"curve", u"threshold", u"limit"}, object) ||
                !Integer(object[u"dimmer"], where + QStringLiteral(".dimmer"), 1, model::kDimmers,
                         dimmer) ||
                !Integer(object[u"threshold"], where + QStringLiteral(".threshold"), 1, 100,
                         threshold) ||
                !Integer(object[u"limit"], where + QStringLiteral(".limit"), 0, 100, limit))
                return false;
            const QString name = object[u"curve"].toString();
            const auto *named =
                std::find(std::begin(kCurveNames), std::end(kCurveNames), QStringView(name));
            if (named == std::end(kCurveNames))
                return FailOneOf(where + QStringLiteral(".curve"), kCurveNames);
            if (seen[dimmer - 1])
                return Fail(texts::kTwice.toString().arg(where).arg(dimmer));
            seen[dimmer - 1] = true;
            curves[dimmer - 1] = {static_cast<model::CurveKind>(named - std::begin(kCurveNames)),
                                  static_cast<int>(threshold), static_cast<int>(limit)};
        }
        return true;
    }

    bool Chases(const QJsonValue &value, model::ChaseList &chases)
    {
        QJsonArray list;
        if (!Array(value, kChases.toString(), -1, list))
            return false;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]").arg(kChases).arg(i);
            model::Chase chase;
            if (!Chase(list[i], where, chase))
                return false;
            if (const model::ChaseEdit added = chases.Add(std::move(chase)); !added.IsOk())
                return Fail(texts::kRefused.toString().arg(where, added.error));
        }
        return true;
    }

    bool Chase(const QJsonValue &value, const QString &where, model::Chase &chase)
    {
        QJsonObject object;
        QJsonArray steps;
        if (!Object(value, where,
                    {u"number", u"name", u"steptime", u"crossfade", u"direction", u"restart",
                     u"submaster", u"steps"},
                    object) ||
            !String(object[u"name"], where + QStringLiteral(".name"), chase.name) ||
            !Array(object[u"steps"], where + QStringLiteral(".steps"), -1, steps))
            return false;
        const struct
        {
            QStringView key;
            int min, max;
            int *field;
        } numbers[] = {{u"number", 1, model::kMaxChases, &chase.number},
                       {u"steptime", model::kMinChaseStepMs, model::kMaxChaseStepMs, &chase.stepMs},
                       {u"crossfade", 0, 100, &chase.crossfadePercent}};
        for (const auto &n : numbers) {
            qint64 number = 0;
            if (!Integer(object[n.key], where + u'.' + n.key.toString(), n.min, n.max, number))
                return false;
            *n.field = static_cast<int>(number);
        }
        const QString direction = object[u"direction"].toString();
        const auto *named = std::find(std::begin(kDirectionNames), std::end(kDirectionNames),
                                      QStringView(direction));
        if (named == std::end(kDirectionNames))
            return FailOneOf(where + QStringLiteral(".direction"), kDirectionNames);
        chase.direction = static_cast<model::ChaseDirection>(named - std::begin(kDirectionNames));
        if (!object[u"restart"].isBool())
            return Fail(texts::kNeedBool.toString().arg(where + QStringLiteral(".restart")));
        chase.restartOnRaise = object[u"restart"].toBool();
        if (!ChasePlace(object[u"submaster"], where + QStringLiteral(".submaster"), chase.place))
            return false;
        if (steps.size() > model::kMaxChaseSteps)
            return Fail(texts::kNeedAtMost.toString()
                            .arg(where + QStringLiteral(".steps"))
                            .arg(model::kMaxChaseSteps)
                            .arg(steps.size()));
        chase.steps.resize(steps.size());
        for (qsizetype s = 0; s < steps.size(); ++s) {
            if (!Look(steps[s], where + QStringLiteral(".steps[%1]").arg(s), chase.steps[s]))
                return false;
        }
        return true;
    }

    /// null for none, or [page, number].
    bool ChasePlace(const QJsonValue &value, const QString &where, model::ChasePlace &place)
    {
        if (value.isNull())
            return true;
        QJsonArray pair;
        qint64 page = 0;
        qint64 number = 0;
        if (!Array(value, where, 2, pair) ||
            !Integer(pair[0], where + QStringLiteral("[0]"), 1, model::kPages, page) ||
            !Integer(pair[1], where + QStringLiteral("[1]"), 1, model::kSubMastersPerPage, number))
            return false;
        place = {static_cast<int>(page), static_cast<int>(number)};
        return true;
    }

    /// Exactly 80 levels, channel n at n - 1.
    bool Look(const QJsonValue &value, const QString &where,
              std::array<uint8_t, model::kConsoleChannels> &look)
    {
        QJsonArray levels;
        if (!Array(value, where, model::kConsoleChannels, levels))
            return false;
        for (int i = 0; i < model::kConsoleChannels; ++i) {
            qint64 level = 0;
            if (!Integer(levels[i], where + QStringLiteral("[%1]").arg(i), 0, 255, level))
                return false;
            look[i] = static_cast<uint8_t>(level);
        }
        return true;
    }

    bool Cues(const QJsonValue &value, model::CueList &cues)
    {
        QJsonArray list;
        if (!Array(value, kCues.toString(), -1, list))
            return false;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]").arg(kCues).arg(i);
            model::Cue cue;
            if (!Cue(list[i], where, cue))
                return false;
            if (const model::CueEdit added = cues.Add(std::move(cue)); !added.IsOk())
                return Fail(texts::kRefused.toString().arg(where, added.error));
        }
        return true;
    }

    /// Numbers and times in tenths, as the cue list holds them.
    bool Cue(const QJsonValue &value, const QString &where, model::Cue &cue)
    {
        QJsonObject object;
        if (!Object(value, where,
                    {u"number", u"label", u"up", u"down", u"delay", u"follow", u"look"}, object) ||
            !String(object[u"label"], where + QStringLiteral(".label"), cue.label))
            return false;
        qint64 number = 0;
        if (!Integer(object[u"number"], where + QStringLiteral(".number"), model::kMinCueNumber,
                     model::kMaxCueNumber, number))
            return false;
        cue.number = static_cast<int>(number);
        const std::pair<QStringView, int *> times[] = {
            {u"up", &cue.upTime}, {u"down", &cue.downTime}, {u"delay", &cue.delay}};
        for (const auto &[key, field] : times) {
            if (!Time(object[key], where + u'.' + key.toString(), *field))
                return false;
        }
        // null: no follow, the next cue waits for GO.
        if (!object[u"follow"].isNull()) {
            int follow = 0;
            if (!Time(object[u"follow"], where + QStringLiteral(".follow"), follow))
                return false;
            cue.follow = follow;
        }
        return Look(object[u"look"], where + QStringLiteral(".look"), cue.look);
    }

    bool Object(const QJsonValue &value, const QString &where,
                std::initializer_list<QStringView> keys, QJsonObject &object)
    {
        return Object(value, where, keys, {}, object);
    }

    /// An object with every key of required, some of optional, and no other.
    bool Object(const QJsonValue &value, const QString &where,
                std::initializer_list<QStringView> required,
                std::initializer_list<QStringView> optional, QJsonObject &object)
    {
        if (!value.isObject())
            return Fail(texts::kNeedObject.toString().arg(where));
        object = value.toObject();
        for (QStringView key : required) {
            if (!object.contains(key))
                return Fail(texts::kMissingKey.toString().arg(where, key.toString()));
        }
        const auto isIn = [](std::initializer_list<QStringView> keys, const QString &key) {
            return std::find(keys.begin(), keys.end(), key) != keys.end();
        };
        for (const QString &key : object.keys()) {
            if (!isIn(required, key) && !isIn(optional, key))
                return Fail(texts::kUnknownKey.toString().arg(where, key));
        }
        return true;
    }

    bool Array(const QJsonValue &value, const QString &where, qsizetype count, QJsonArray &array)
    {
        if (!value.isArray())
            return Fail(texts::kNeedArray.toString().arg(where));
        array = value.toArray();
        if (count >= 0 && array.size() != count)
            return Fail(texts::kNeedCount.toString().arg(where).arg(count).arg(array.size()));
        return true;
    }

    bool String(const QJsonValue &value, const QString &where, QString &text)
    {
        if (!value.isString())
            return Fail(texts::kNeedString.toString().arg(where));
        text = value.toString();
        return true;
    }

    bool Integer(const QJsonValue &value, const QString &where, qint64 min, qint64 max,
                 qint64 &number)
    {
        // The strict reader gives integers only, so a number here is exact.
        number = value.toInteger(std::numeric_limits<qint64>::min());
        if (!value.isDouble() || number < min || number > max)
            return Fail(texts::kNeedIntegerIn.toString().arg(where).arg(min).arg(max));
        return true;
    }

    /// A time in tenths as a number, or as the console takes it typed ("90", "1:30.5").
    bool Time(const QJsonValue &value, const QString &where, int &tenths)
    {
        std::optional<int> time;
        if (value.isString()) {
            time = model::ParseTime(value.toString());
        } else if (const qint64 number = value.toInteger(-1);
                   value.isDouble() && number >= 0 && number <= model::kMaxFadeTime) {
            time = static_cast<int>(number);
        }
        if (!time)
            return Fail(texts::kNeedTime.toString()
                            .arg(where)
                            .arg(model::kMaxFadeTime)
                            .arg(model::TimeText(model::kMaxFadeTime)));
        tenths = *time;
        return true;
    }

    bool Exactly(const QJsonValue &value, const QString &where, int expected)
    {
        if (!value.isDouble() || value.toInteger(-1) != expected)
            return Fail(texts::kNeedValue.toString().arg(where).arg(expected));
        return true;
    }

    bool Fail(const QString &what)
    {
        error = what;
        return false;
    }

    bool FailOneOf(const QString &where, std::span<const QStringView> names)
    {
        QString quoted;
        for (QStringView name : names)
            quoted += u'「' + name.toString() + u'」';
        return Fail(texts::kNeedOneOf.toString().arg(where, quoted));
    }
};

/// ",\n  \"chases\": [...]", one chase's fields on a line, then one step per line.
void AppendChases(QByteArray &out, const model::ChaseList &chases)
{
    out += ",\n  \"" + kChases.toUtf8() + "\": [";
    for (const model::Chase &chase : chases.Chases()) {
        out += &chase == &chases.Chases().front() ? "\n" : ",\n";
        out += "    {\"number\": " + QByteArray::number(chase.number) + ", \"name\": ";
        AppendQuoted(out, chase.name);
        out += ", \"steptime\": " + QByteArray::number(chase.stepMs) +
               ", \"crossfade\": " + QByteArray::number(chase.crossfadePercent) +
               ", \"direction\": \"" + kDirectionNames[static_cast<int>(chase.direction)].toUtf8() +
               "\", \"restart\": " + (chase.restartOnRaise ? "true" : "false") +
               ", \"submaster\": ";
        if (chase.place.IsSet())
            AppendNumbers(out, std::array{chase.place.page, chase.place.number});
        else
            out += "null";
        out += ", \"steps\": [";
        for (const model::ChaseLook &look : chase.steps) {
            out += &look == &chase.steps.front() ? "\n      " : ",\n      ";
            AppendNumbers(out, look);
        }
        out += chase.steps.empty() ? "]}" : "\n    ]}";
    }
    out += chases.IsEmpty() ? "]" : "\n  ]";
}

/// ",\n  \"curves\": [...]", one dimmer whose curve is not linear per line.
void AppendCurves(QByteArray &out, const std::array<model::DimmerCurve, model::kDimmers> &curves)
{
    out += ",\n  \"" + kCurves.toUtf8() + "\": [";
    bool first = true;
    for (int d = 1; d <= model::kDimmers; ++d) {
        const model::DimmerCurve &curve = curves[d - 1];
        if (curve.IsLinear())
            continue;
        out += first ? "\n" : ",\n";
        first = false;
        out += "    {\"dimmer\": " + QByteArray::number(d) + ", \"curve\": \"" +
               kCurveNames[static_cast<int>(curve.kind)].toUtf8() +
               "\", \"threshold\": " + QByteArray::number(curve.thresholdPercent) +
               ", \"limit\": " + QByteArray::number(curve.limitPercent) + '}';
    }
    out += first ? "]" : "\n  ]";
}

} // namespace

QByteArray ShowToJson(const model::COrinSUBDoc &doc)
{
    QByteArray out;
    out.reserve(1 << 20);
    out += "{\n  \"channels\": [\n";
    for (int i = 0; i < model::kChannelObjects; ++i) {
        const model::CChannel &channel = doc.Channel(i);
        out += "    {\"number\": " + QByteArray::number(i + 1) + ", \"name\": ";
        AppendQuoted(out, channel.m_name);
        out += ", \"dimmers\": ";
        AppendNumbers(out, channel.m_dimmers);
        out += i + 1 < model::kChannelObjects ? "},\n" : "}\n";
    }
    out += "  ],\n  \"submasters\": [\n";
    for (int p = 1; p <= model::kPages; ++p) {
        for (int n = 1; n <= model::kSubMastersPerPage; ++n) {
            const model::CSubMaster &subMaster = *doc.GetSubMaster(p, n);
            out += "    {\"page\": " + QByteArray::number(p) +
                   ", \"number\": " + QByteArray::number(n) + ", \"name\": ";
            AppendQuoted(out, subMaster.m_name);
            out += ", \"levels\": ";
            AppendNumbers(out, subMaster.m_levels);
            out += p == model::kPages && n == model::kSubMastersPerPage ? "}\n" : "},\n";
        }
    }
    const model::ShowExtension &extension = doc.m_extension;
    std::vector<int> independent;
    for (int channel = 1; channel <= model::kConsoleChannels; ++channel) {
        if (extension.IsIndependent(channel))
            independent.push_back(channel);
    }
    out += "  ],\n  \"" + kIndependent.toUtf8() + "\": ";
    AppendNumbers(out, independent);
    out += ",\n  \"" + kFlashMode.toUtf8() + "\": ";
    AppendQuoted(out, kFlashModeNames[static_cast<int>(extension.flashMode)].toString());
    out += ",\n  \"" + kFadeTime.toUtf8() + "\": " + TimeJson(extension.fadeTime);
    out += ",\n  \"" + kCues.toUtf8() + "\": [";
    const std::vector<model::Cue> &cues = extension.cues.Cues();
    for (size_t i = 0; i < cues.size(); ++i) {
        const model::Cue &cue = cues[i];
        out += i == 0 ? "\n" : ",\n";
        out += "    {\"number\": " + QByteArray::number(cue.number) + ", \"label\": ";
        AppendQuoted(out, cue.label);
        out += ", \"up\": " + TimeJson(cue.upTime) + ", \"down\": " + TimeJson(cue.downTime) +
               ", \"delay\": " + TimeJson(cue.delay) +
               ", \"follow\": " + (cue.follow ? TimeJson(*cue.follow) : QByteArray("null")) +
               ", \"look\": ";
        AppendNumbers(out, cue.look);
        out += '}';
    }
    out += cues.empty() ? "]" : "\n  ]";
    AppendChases(out, extension.chases);
    AppendCurves(out, extension.curves);
    out += "\n}\n";
    return out;
}

ShowFromJsonResult ShowFromJson(const QByteArray &utf8)
{
    const model::StrictJsonReader::Result json = model::StrictJsonReader::Parse(utf8);
    if (!json.error.isEmpty())
        return {{}, json.error};
    ShowFromJsonResult result;
    ShowChecker checker;
    if (!checker.Check(json.value, result.content))
        return {{}, checker.error};
    return result;
}

} // namespace orinsub::tools
