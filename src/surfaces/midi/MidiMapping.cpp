#include "MidiMapping.h"
#include "MidiTexts.h"
#include "model/RegularFile.h"
#include "model/StrictJsonReader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace orinsub::surfaces::midi {

namespace {

using Type = MidiMessage::Type;

struct MessageName
{
    Type type;
    const char16_t *name;
};
constexpr MessageName kMessageNames[] = {
    {Type::Note, u"note"},
    {Type::Control, u"cc"},
    {Type::FineControl, u"cc14"},
    {Type::PitchBend, u"pitchbend"},
};

QString MessageTypeName(Type type)
{
    for (const MessageName &entry : kMessageNames) {
        if (entry.type == type)
            return QString::fromUtf16(entry.name);
    }
    return {};
}

std::optional<Type> MessageTypeFromName(const QString &name)
{
    for (const MessageName &entry : kMessageNames) {
        if (name == QString::fromUtf16(entry.name))
            return entry.type;
    }
    return std::nullopt;
}

int MaxNumber(Type type)
{
    switch (type) {
    case Type::FineControl:
        return 31;
    case Type::PitchBend:
        return 0;
    default:
        return 127;
    }
}

/// A whole number in [min, max]; nothing for anything else.
std::optional<int> WholeNumber(const QJsonValue &value, int min, int max)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < min || number > max)
        return std::nullopt;
    return static_cast<int>(number);
}

QString UnknownKey(const QJsonObject &object, std::initializer_list<const char16_t *> known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool isKnown = false;
        for (const char16_t *key : known)
            isKnown = isKnown || it.key() == QString::fromUtf16(key);
        if (!isKnown)
            return it.key();
    }
    return {};
}

/// One entry of "controls"; an error text (without the entry's place) on failure.
std::optional<MidiBinding> ReadBinding(const QJsonValue &value, QString &error)
{
    if (!value.isObject()) {
        error = kMappingNotObject;
        return std::nullopt;
    }
    const QJsonObject entry = value.toObject();
    if (const QString key = UnknownKey(entry, {u"message", u"channel", u"number", u"target"});
        !key.isEmpty()) {
        error = kMappingUnknownKey.arg(OneLine(key));
        return std::nullopt;
    }
    const auto type = MessageTypeFromName(entry.value(u"message").toString());
    if (!type) {
        error = kMappingBadMessage;
        return std::nullopt;
    }
    const auto channel = WholeNumber(entry.value(u"channel"), 1, 16);
    if (!channel) {
        error = kMappingBadChannel;
        return std::nullopt;
    }
    std::optional<int> number = 0;
    if (*type == Type::PitchBend) {
        if (entry.contains(u"number")) {
            error = kMappingNoNumber;
            return std::nullopt;
        }
    } else if (number = WholeNumber(entry.value(u"number"), 0, MaxNumber(*type)); !number) {
        error = kMappingBadNumber.arg(MaxNumber(*type));
        return std::nullopt;
    }
    const QString targetName = entry.value(u"target").toString();
    const auto target = ControlTarget::Parse(targetName);
    if (!target) {
        error = kMappingBadTarget.arg(OneLine(targetName));
        return std::nullopt;
    }
    return MidiBinding{*type, *channel - 1, *number, *target};
}

MappingReadResult Failure(const QString &fileName, const QString &what)
{
    return {std::nullopt, MappingFileError(fileName, what)};
}

} // namespace

bool MidiBinding::SharesController(const MidiBinding &other) const
{
    const auto pairHolds = [](const MidiBinding &fine, const MidiBinding &control) {
        return fine.type == Type::FineControl && control.type == Type::Control &&
               fine.channel == control.channel &&
               (control.number == fine.number || control.number == fine.number + 32);
    };
    return pairHolds(*this, other) || pairHolds(other, *this);
}

std::optional<MidiBinding> LearnControl(MidiMapping &mapping, const MidiMessage &message,
                                        const ControlTarget &target)
{
    auto &controls = mapping.controls;
    MidiBinding learned{message.type, message.channel,
                        message.type == Type::PitchBend ? 0 : message.number, target};
    const auto has = [&](const MidiBinding &wanted, bool anyTarget) {
        return std::any_of(controls.begin(), controls.end(), [&](const MidiBinding &b) {
            return b.SameMessage(wanted) && (anyTarget || b.target == target);
        });
    };
    if (learned.type == Type::Control && learned.number < 64) {
        const int coarse = learned.number % 32;
        const MidiBinding fine{Type::FineControl, learned.channel, coarse, target};
        const MidiBinding otherHalf{Type::Control, learned.channel,
                                    learned.number < 32 ? coarse + 32 : coarse, target};
        if (has(fine, true) || has(otherHalf, false))
            learned = fine;
    }
    if (std::find(controls.begin(), controls.end(), learned) != controls.end() &&
        std::none_of(controls.begin(), controls.end(),
                     [&](const MidiBinding &b) { return b.SharesController(learned); }))
        return std::nullopt;
    // The first binding it replaces keeps its place in the list.
    const auto replaced = [&](const MidiBinding &b) {
        return b.SameMessage(learned) || b.SharesController(learned);
    };
    const auto first = std::find_if(controls.begin(), controls.end(), replaced);
    if (first == controls.end()) {
        controls.push_back(learned);
    } else {
        *first = learned;
        controls.erase(std::remove_if(first + 1, controls.end(), replaced), controls.end());
    }
    return learned;
}

MidiMapping BuiltInMapping(MidiProfile profile)
{
    MidiMapping mapping;
    mapping.profile = profile;
    if (profile != MidiProfile::MackieControl)
        return mapping;
    mapping.motorised = true;
    const auto strip = [](int k) { return ControlTarget{ControlTarget::Kind::Strip, 0, k}; };
    const ControlTarget crossfade{ControlTarget::Kind::Crossfade};
    for (int k = 0; k < 8; ++k) {
        mapping.controls.push_back({Type::PitchBend, k, 0, strip(k)});
        mapping.controls.push_back({Type::Note, 0, 104 + k, strip(k)});
    }
    mapping.controls.push_back({Type::PitchBend, 8, 0, crossfade});
    mapping.controls.push_back({Type::Note, 0, 112, crossfade});
    mapping.controls.push_back({Type::Note, 0, 46, {ControlTarget::Kind::BankPrevious}});
    mapping.controls.push_back({Type::Note, 0, 47, {ControlTarget::Kind::BankNext}});
    return mapping;
}

QString ProfileName(MidiProfile profile)
{
    return profile == MidiProfile::MackieControl ? QStringLiteral("mackie-control")
                                                 : QStringLiteral("generic");
}

std::optional<MidiProfile> ProfileFromName(const QString &name)
{
    if (name == u"generic")
        return MidiProfile::Generic;
    if (name == u"mackie-control")
        return MidiProfile::MackieControl;
    return std::nullopt;
}

MappingReadResult ParseMapping(const QByteArray &json, const QString &fileName)
{
    if (json.size() > kMaxMappingBytes)
        return Failure(fileName, MappingTooLarge(kMaxMappingBytes));
    // Strict as a show's JSON: a key given twice is an error, never the last one winning.
    const model::StrictJsonReader::Result document = model::StrictJsonReader::Parse(json);
    if (!document.error.isEmpty())
        return Failure(fileName, kMappingNotJson.arg(document.error));
    if (!document.value.isObject())
        return Failure(fileName, kMappingNotObject);
    const QJsonObject root = document.value.toObject();
    if (const QString key = UnknownKey(root, {u"profile", u"motorised", u"controls"});
        !key.isEmpty())
        return Failure(fileName, kMappingUnknownKey.arg(OneLine(key)));

    std::optional<MidiProfile> profile = MidiProfile::Generic;
    if (root.contains(u"profile"))
        profile = ProfileFromName(root.value(u"profile").toString());
    if (!profile)
        return Failure(fileName, kMappingBadProfile);
    MidiMapping mapping = BuiltInMapping(*profile);
    if (root.contains(u"motorised")) {
        if (!root.value(u"motorised").isBool())
            return Failure(fileName, kMappingBadMotorised);
        mapping.motorised = root.value(u"motorised").toBool();
    }
    if (root.contains(u"controls")) {
        if (!root.value(u"controls").isArray())
            return Failure(fileName, kMappingBadControls);
        mapping.controls.clear();
        const QJsonArray controls = root.value(u"controls").toArray();
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const int entry = static_cast<int>(i) + 1;
            QString error;
            const auto binding = ReadBinding(controls.at(i), error);
            if (!binding)
                return Failure(fileName, MappingEntryError(entry, error));
            for (size_t j = 0; j < mapping.controls.size(); ++j) {
                if (mapping.controls[j].SameMessage(*binding))
                    return Failure(fileName,
                                   MappingEntryError(entry, kMappingDuplicate.arg(j + 1)));
                if (mapping.controls[j].SharesController(*binding))
                    return Failure(fileName,
                                   MappingEntryError(entry, kMappingSharedController.arg(j + 1)));
            }
            mapping.controls.push_back(*binding);
        }
    }
    return {std::move(mapping), {}};
}

MappingReadResult ReadMappingFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const model::RegularFileRead file = model::ReadRegularFile(path, kMaxMappingBytes);
    if (file.problem == model::FileReadProblem::TooLarge)
        return Failure(name, MappingTooLarge(kMaxMappingBytes));
    if (!file.IsOk())
        return Failure(name, kMappingUnreadable.arg(file.Reason()));
    return ParseMapping(file.bytes, name);
}

QByteArray MappingToJson(const MidiMapping &mapping)
{
    QJsonArray controls;
    for (const MidiBinding &binding : mapping.controls) {
        QJsonObject entry{{QStringLiteral("message"), MessageTypeName(binding.type)},
                          {QStringLiteral("channel"), binding.channel + 1}};
        if (binding.type != Type::PitchBend)
            entry.insert(QStringLiteral("number"), binding.number);
        entry.insert(QStringLiteral("target"), binding.target.Name());
        controls.append(entry);
    }
    const QJsonObject root{{QStringLiteral("profile"), ProfileName(mapping.profile)},
                           {QStringLiteral("motorised"), mapping.motorised},
                           {QStringLiteral("controls"), controls}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool WriteMappingFile(const QString &path, const MidiMapping &mapping, QString &error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(MappingToJson(mapping)) >= 0 && file.commit())
        return true;
    error =
        MappingFileError(QFileInfo(path).fileName(), kMappingUnwritable.arg(file.errorString()));
    return false;
}

} // namespace orinsub::surfaces::midi
