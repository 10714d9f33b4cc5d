#include "ShowCsv.h"

#include "ExchangeTexts.h"
#include "OrinSUBDoc.h"
#include "SubMaster.h"

#include <QStringList>

namespace orinsub::model {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr qsizetype kCueColumns = 6 + kConsoleChannels;

QString Field(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

/// Rows of fields joined into the sheet: commas, CRLF, quoted where needed, with the mark.
class Sheet
{
public:
    explicit Sheet(QStringView header) : m_text(header.toString()) {}

    void AddChannelColumns()
    {
        for (int n = 1; n <= kConsoleChannels; ++n)
            m_text += u',' + QString::number(n);
    }
    void StartRow() { m_text += QStringLiteral("\r\n"); }
    void Add(const QString &field, bool first = false)
    {
        if (!first)
            m_text += u',';
        m_text += Field(field);
    }
    void AddLevels(const auto &levelOf)
    {
        for (int n = 1; n <= kConsoleChannels; ++n)
            Add(QString::number(levelOf(n - 1)));
    }
    QByteArray Bytes() const { return kByteOrderMark + m_text.toUtf8() + "\r\n"; }

private:
    QString m_text;
};

/// The rows of a CSV text: quoted fields may hold commas, quotes and line breaks. A row's
/// number counts the lines it starts on, so that a message points where a spreadsheet shows it.
class CsvRows
{
public:
    explicit CsvRows(QStringView text) : m_text(text) {}

    bool AtEnd() const { return m_at >= m_text.size(); }
    int RowNumber() const { return m_row; }

    /// The next row's fields; false with the row number kept when a quote never closes.
    bool Next(QStringList &fields)
    {
        m_row = m_line;
        fields = {QString()};
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (c == u'"' && fields.last().isEmpty() && !m_quotedField) {
                if (!ReadQuoted(fields.last()))
                    return false;
            } else if (c == u',') {
                fields.append(QString());
                m_quotedField = false;
            } else if (c == u'\n' || c == u'\r') {
                if (c == u'\r' && m_at < m_text.size() && m_text[m_at] == u'\n')
                    ++m_at;
                ++m_line;
                break;
            } else {
                fields.last() += c;
            }
        }
        m_quotedField = false;
        return true;
    }

private:
    bool ReadQuoted(QString &field)
    {
        m_quotedField = true;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (c == u'"') {
                if (m_at < m_text.size() && m_text[m_at] == u'"') {
                    field += u'"';
                    ++m_at;
                    continue;
                }
                return true;
            }
            if (c == u'\n')
                ++m_line;
            field += c;
        }
        return false;
    }

    QStringView m_text;
    qsizetype m_at = 0;
    int m_line = 1;
    int m_row = 1;
    bool m_quotedField = false;
};

QStringList CueHeader()
{
    QStringList header = texts::kCsvCueHeader.toString().split(u',');
    for (int n = 1; n <= kConsoleChannels; ++n)
        header.append(QString::number(n));
    return header;
}

/// The cue of a row, or what is wrong with it; header names the columns in a message.
std::optional<Cue> CueOfRow(const QStringList &fields, const QStringList &header, QString &error)
{
    Cue cue;
    const std::optional<int> number = ParseTenths(fields[0]);
    if (!number) {
        error = texts::kCsvCueNumber.toString().arg(fields[0]);
        return std::nullopt;
    }
    cue.number = *number;
    cue.label = fields[1];
    int *const times[] = {&cue.upTime, &cue.downTime, &cue.delay};
    for (int i = 0; i < 3; ++i) {
        const std::optional<int> time = ParseTime(fields[2 + i]);
        if (!time) {
            error = texts::kCsvTime.toString().arg(header[2 + i], fields[2 + i]);
            return std::nullopt;
        }
        *times[i] = *time;
    }
    if (!fields[5].trimmed().isEmpty()) {
        cue.follow = ParseTime(fields[5]);
        if (!cue.follow) {
            error = texts::kCsvTime.toString().arg(header[5], fields[5]);
            return std::nullopt;
        }
    }
    for (int n = 1; n <= kConsoleChannels; ++n) {
        bool ok = false;
        const int level = fields[5 + n].trimmed().toInt(&ok);
        if (!ok || level < 0 || level > 255) {
            error = texts::kCsvLevel.toString().arg(n).arg(fields[5 + n]);
            return std::nullopt;
        }
        cue.look[n - 1] = static_cast<uint8_t>(level);
    }
    return cue;
}

CsvCueRead Refused(int row, const QString &what)
{
    return {texts::kCsvRow.toString().arg(row).arg(what), {}};
}

} // namespace

QByteArray ShowCsv::Cues(const CueList &cues)
{
    Sheet sheet(texts::kCsvCueHeader);
    sheet.AddChannelColumns();
    for (const Cue &cue : cues.Cues()) {
        sheet.StartRow();
        sheet.Add(CueNumberText(cue.number), true);
        sheet.Add(cue.label);
        sheet.Add(TimeText(cue.upTime));
        sheet.Add(TimeText(cue.downTime));
        sheet.Add(TimeText(cue.delay));
        sheet.Add(cue.follow ? TimeText(*cue.follow) : QString());
        sheet.AddLevels([&](int i) { return cue.look[i]; });
    }
    return sheet.Bytes();
}

QByteArray ShowCsv::Patch(const COrinSUBDoc &doc)
{
    Sheet sheet(texts::kCsvPatchHeader);
    for (int n = 1; n <= kConsoleChannels; ++n) {
        const CChannel &channel = doc.Channel(n - 1);
        QStringList dimmers;
        for (int32_t d : channel.m_dimmers)
            dimmers.append(QString::number(d));
        sheet.StartRow();
        sheet.Add(QString::number(n), true);
        sheet.Add(channel.m_name);
        sheet.Add(dimmers.join(u' '));
    }
    return sheet.Bytes();
}

QByteArray ShowCsv::SubMasters(const COrinSUBDoc &doc)
{
    Sheet sheet(texts::kCsvSubMasterHeader);
    sheet.AddChannelColumns();
    for (int page = 1; page <= kPages; ++page) {
        for (int number = 1; number <= kSubMastersPerPage; ++number) {
            const CSubMaster *sub = doc.GetSubMaster(page, number);
            if (!sub || (sub->m_name.isEmpty() && !sub->HasContent()))
                continue;
            sheet.StartRow();
            sheet.Add(QString::number(page), true);
            sheet.Add(QString::number(number));
            sheet.Add(sub->m_name);
            sheet.AddLevels([&](int i) { return sub->LevelAt(i); });
        }
    }
    return sheet.Bytes();
}

CsvCueRead ShowCsv::ReadCues(const QByteArray &bytes)
{
    if (bytes.size() > kMaxFileSize)
        return Refused(1, texts::kExchangeTooLarge.toString());
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    CsvRows rows(text);
    QStringList fields;
    if (!rows.Next(fields))
        return Refused(rows.RowNumber(), texts::kCsvQuote.toString());
    const QStringList header = CueHeader();
    if (fields != header)
        return Refused(1, texts::kCsvHeader.toString());
    CsvCueRead read;
    while (!rows.AtEnd()) {
        if (!rows.Next(fields))
            return Refused(rows.RowNumber(), texts::kCsvQuote.toString());
        if (fields.size() == 1 && fields[0].isEmpty())
            continue; // a blank line, as spreadsheets leave at the end
        if (fields.size() != kCueColumns)
            return Refused(rows.RowNumber(),
                           texts::kCsvColumns.toString().arg(fields.size()).arg(kCueColumns));
        QString error;
        const std::optional<Cue> cue = CueOfRow(fields, header, error);
        if (!cue)
            return Refused(rows.RowNumber(), error);
        const CueEdit added = read.cues.Add(*cue);
        if (!added.IsOk())
            return Refused(rows.RowNumber(), added.error);
    }
    return read;
}

} // namespace orinsub::model
