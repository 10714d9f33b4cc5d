#pragma once

#include "model/Crc32.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowExtensionBlock.h"
#include "model/ShowFileReader.h"
#include "model/ShowFileWriter.h"
#include "support/Corpus.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <gtest/gtest.h>
#include <span>

namespace orinsub::testing {

inline model::ShowFileParse ParseShow(const QByteArray &bytes)
{
    return model::ShowFileReader::Parse(AsBytes(bytes));
}

/// A show that reaches into every corner the format allows: Japanese names, a surrogate pair
/// and a lone surrogate, names long enough for the escalated length, dimmers the console would
/// never patch (out of range, unsorted, twice), empty lists and level tables of other lengths.
inline void FillUnusualShow(model::COrinSUBDoc &doc)
{
    doc.Channel(0).m_name = QStringLiteral("ホリゾント上");
    doc.Channel(1).m_name = QString(255, QChar(u'あ'));
    doc.Channel(2).m_name = QString::fromUtf16(u"\U0001F3AD \xD800 end");
    doc.Channel(3).m_dimmers = {};
    doc.Channel(4).m_dimmers = {0, -7, 513, 2147483647, 5, 5, 3};
    doc.SpareChannel().m_name = QStringLiteral("予備");
    doc.GetSubMaster(1, 1)->m_name = QStringLiteral("オープニング");
    doc.GetSubMaster(1, 1)->m_levels.assign(512, 255);
    doc.GetSubMaster(2, 3)->m_levels = {};
    doc.GetSubMaster(7, 20)->m_levels.assign(5, 128);
    doc.GetSubMaster(20, 20)->m_levels.assign(600, 17);
    doc.GetSubMaster(20, 20)->m_name = QString(254, QChar(u'z'));
}

/// A full cue list: whole and half numbers, every time from 0 to 25.5 s, follows up to 999.9 s
/// and none (every time the cue list record held before long times),
/// looks that differ from cue to cue, Japanese, long and odd labels (whole characters: unlike a
/// name, a label never holds a lone surrogate).
inline void FillCueList(model::COrinSUBDoc &doc)
{
    const model::CueEdit filled = doc.EditCues([](model::CueList &cues) {
        for (int i = 0; i < model::kMaxCues; ++i) {
            model::Cue cue;
            cue.number = (i + 1) * 10 + (i % 2 ? 5 : 0);
            cue.label = i == 0   ? QString(model::kMaxCueLabelLength, QChar(u'あ'))
                        : i == 1 ? QString::fromUtf16(u"\U0001F3AD \"\\\n")
                                 : QStringLiteral("シーン %1").arg(i);
            for (int c = 0; c < model::kConsoleChannels; ++c)
                cue.look[c] = static_cast<uint8_t>(i * 7 + c * 3);
            cue.upTime = i % 256;
            cue.downTime = 255 - i % 256;
            cue.delay = i * 5 % 256;
            if (i % 3 != 0)
                cue.follow = i * 13 % (model::kMaxShortFollow + 1);
            if (model::CueEdit added = cues.Add(cue); !added.IsOk())
                return added;
        }
        return model::CueEdit{};
    });
    EXPECT_TRUE(filled.IsOk()) << filled.error.toStdString();
}

/// Chases in every direction: a full one of 99 steps with the longest name and the shortest
/// step, an empty one with the longest step, crossfades 0 to 60 %, on sub-masters and on none.
inline void FillChases(model::COrinSUBDoc &doc)
{
    doc.EditChases([](model::ChaseList &chases) {
        for (int i = 0; i < 4; ++i) {
            model::Chase chase;
            chase.number = i == 3 ? model::kMaxChases : i + 1;
            chase.name = i == 0 ? QString(model::kMaxChaseNameLength, QChar(u'流'))
                                : QString::fromUtf16(u"\U0001F3AD \"\\ %1").arg(i);
            chase.steps.resize(i == 0 ? model::kMaxChaseSteps : i == 1 ? 0 : i + 1);
            for (size_t s = 0; s < chase.steps.size(); ++s)
                for (int c = 0; c < model::kConsoleChannels; ++c)
                    chase.steps[s][c] = static_cast<uint8_t>(s * 11 + c * 7 + i);
            chase.stepMs = i == 0 ? model::kMinChaseStepMs : i == 1 ? model::kMaxChaseStepMs : 480;
            chase.crossfadePercent = i * 20;
            chase.direction = static_cast<model::ChaseDirection>(i);
            chase.restartOnRaise = i % 2 == 0;
            if (i != 2)
                chase.place = {i + 1, model::kSubMastersPerPage - i};
            EXPECT_TRUE(chases.Add(chase).IsOk()) << i;
        }
        return model::ChaseEdit{};
    });
}

/// Everything the extension block holds, each away from a new show's value.
inline void AddShowAdditions(model::COrinSUBDoc &doc)
{
    for (int channel : {1, 8, 9, 80})
        doc.SetIndependent(channel, true);
    doc.SetFlashMode(model::FlashMode::Solo);
    doc.SetFadeTime(0);
    FillCueList(doc);
    FillChases(doc);
    const int curved[] = {1, 80, 512};
    EXPECT_TRUE(doc.SetDimmerCurves(curved, {model::CurveKind::HallA, 50, 90}));
    const int switched[] = {81};
    EXPECT_TRUE(doc.SetDimmerCurves(switched, {model::CurveKind::Switch, 1, 0}));
}

/// Times of minutes: the GO fade and some cues' up, down, delay and follow, up to the longest.
inline void AddLongTimes(model::COrinSUBDoc &doc)
{
    doc.SetFadeTime(6000);
    const model::CueEdit edited = doc.EditCues([](model::CueList &cues) {
        model::Cue cue = cues.Cues().at(2);
        cue.upTime = model::kMaxFadeTime;
        cue.downTime = 256;
        cue.delay = 6000;
        cue.follow = 10000;
        return cues.Replace(cue);
    });
    EXPECT_TRUE(edited.IsOk()) << edited.error.toStdString();
}

/// One record of an extension block: kind, data length, data.
inline QByteArray ExtensionRecordBytes(uint16_t kind, const QByteArray &data)
{
    QByteArray bytes(6, '\0');
    qToLittleEndian<uint16_t>(kind, bytes.data());
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(data.size()), bytes.data() + 2);
    return bytes + data;
}

/// An extension block around payload with the right checksum, as the given version writes it.
inline QByteArray ExtensionBlockBytes(const QByteArray &payload,
                                      uint16_t version = model::kExtensionVersion)
{
    QByteArray fields(6, '\0');
    qToLittleEndian<uint16_t>(version, fields.data());
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(payload.size()), fields.data() + 2);
    QByteArray crc(4, '\0');
    qToLittleEndian<uint32_t>(model::Crc32().Add(AsBytes(fields)).Add(AsBytes(payload)).Value(),
                              crc.data());
    return QByteArray(model::kExtensionMagic, 8) + fields + crc + payload;
}

inline QByteArray UnusualShowBytes()
{
    model::COrinSUBDoc doc;
    FillUnusualShow(doc);
    return model::ShowFileWriter::Encode(doc);
}

} // namespace orinsub::testing
