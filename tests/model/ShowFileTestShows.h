#pragma once

#include "model/OrinSUBDoc.h"
#include "model/ShowFileReader.h"
#include "model/ShowFileWriter.h"

#include <QByteArray>
#include <QString>
#include <span>

namespace orinsub::testing {

inline std::span<const uint8_t> AsBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()),
            static_cast<size_t>(bytes.size())};
}

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

inline QByteArray UnusualShowBytes()
{
    model::COrinSUBDoc doc;
    FillUnusualShow(doc);
    return model::ShowFileWriter::Encode(doc);
}

} // namespace orinsub::testing
