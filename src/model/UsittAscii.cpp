#include "UsittAscii.h"

#include "ExchangeTexts.h"
#include "ShowFileAnsiText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace orinsub::model {

namespace {

constexpr char kNewline[] = "\r\n";
constexpr qsizetype kLineWidth = 80; // what the format allows a line, labels aside
constexpr qsizetype kMaxLineLength = 4096;

bool IsDelimiter(QChar c)
{
    return c == u' ' || c == u'\t' || c == u',' || c == u'/' || c == u'<' || c == u'=' ||
           c == u'>' || c == u'@';
}

QStringList Tokens(QStringView line)
{
    QStringList tokens;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool delimiter = i == line.size() || IsDelimiter(line[i]);
        if (!delimiter && start < 0)
            start = i;
        if (delimiter && start >= 0) {
            tokens.append(line.mid(start, i - start).toString());
            start = -1;
        }
    }
    return tokens;
}

// Writing ---------------------------------------------------------------------------------

/// Lines of one record, "Chan 1@HFF 2@H80 ...", each within the format's width.
class RecordLines
{
public:
    RecordLines(QByteArray &out, QByteArray head) : m_out(out), m_head(std::move(head)) {}
    ~RecordLines() { End(); }

    void Add(const QByteArray &item)
    {
        if (!m_line.isEmpty() && m_line.size() + 1 + item.size() > kLineWidth)
            End();
        if (m_line.isEmpty())
            m_line = m_head;
        m_line += ' ' + item;
    }

private:
    void End()
    {
        if (!m_line.isEmpty())
            m_out += m_line + kNewline;
        m_line.clear();
    }

    QByteArray &m_out;
    QByteArray m_head;
    QByteArray m_line;
};

QByteArray TimeBytes(int tenths)
{
    return TimeText(tenths).toLatin1();
}

void WriteCue(QByteArray &out, const Cue &cue)
{
    out += "Cue " + CueNumberText(cue.number).toLatin1() + kNewline;
    // A record is one line: a line break in a label becomes a space.
    if (!cue.label.isEmpty())
        out += "Text " + QString(cue.label).replace(u'\r', u' ').replace(u'\n', u' ').toUtf8() +
               kNewline;
    out += "Up " + TimeBytes(cue.upTime) + kNewline;
    out += "Down " + TimeBytes(cue.downTime);
    if (cue.delay > 0)
        out += ' ' + TimeBytes(cue.delay);
    out += kNewline;
    if (cue.follow)
        out += "Followon " + TimeBytes(*cue.follow) + kNewline;
    RecordLines levels(out, "Chan");
    for (int n = 1; n <= kConsoleChannels; ++n) {
        if (const uint8_t level = cue.look[n - 1])
            levels.Add(QByteArray::number(n) + "@H" +
                       QByteArray::number(level, 16).toUpper().rightJustified(2, '0'));
    }
}

// Reading ---------------------------------------------------------------------------------

/// Counts of what was left out, in the order first met.
class LeftOut
{
public:
    void Count(const QString &what) { ++m_counts[Index(what)].second; }
    QStringList Lines() const
    {
        QStringList lines;
        for (const auto &[text, count] : m_counts)
            lines.append(text.arg(count));
        return lines;
    }

private:
    size_t Index(const QString &what)
    {
        for (size_t i = 0; i < m_counts.size(); ++i) {
            if (m_counts[i].first == what)
                return i;
        }
        m_counts.emplace_back(what, 0);
        return m_counts.size() - 1;
    }

    std::vector<std::pair<QString, int>> m_counts;
};

std::optional<int> Number(const QString &token)
{
    bool ok = false;
    const int value = token.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

/// "H80" (hexadecimal byte), "FL" (full) or a percent "0".."100" with at most one decimal.
std::optional<uint8_t> Level(const QString &token)
{
    const QString upper = token.toUpper();
    if (upper == u"FL")
        return 255;
    if (upper.startsWith(u'H')) {
        bool ok = false;
        const int value = upper.mid(1).toInt(&ok, 16);
        return ok && upper.size() <= 3 && value >= 0 ? std::optional(uint8_t(value)) : std::nullopt;
    }
    const std::optional<int> tenths = ParseTenths(token);
    if (!tenths || *tenths < 0 || *tenths > 1000)
        return std::nullopt;
    return static_cast<uint8_t>(std::lround(*tenths * 255.0 / 1000.0));
}

/// True when text is a cue number with finer parts than a tenth ("1.25"), which this console
/// cannot hold.
bool IsFinerNumber(const QString &text)
{
    bool ok = false;
    return text.toDouble(&ok) >= 0 && ok && text.indexOf(u'.') >= 0 &&
           text.size() - text.indexOf(u'.') > 2;
}

QString Decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeCodePage932(
        std::span(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size()));
}

class AsciiReader
{
public:
    ExchangeRead Read(const QString &text)
    {
        // CR LF, LF or a lone CR (older systems) ends a line.
        static const QRegularExpression kLineEnd(QStringLiteral("\r\n|\r|\n"));
        const QStringList lines = text.split(kLineEnd);
        bool ok = true;
        for (m_line = 0; ok && m_line < lines.size() && !m_ended; ++m_line) {
            const QStringView line = lines[m_line];
            ok = line.size() <= kMaxLineLength ? ReadLine(line)
                                               : Fail(texts::kExchangeLineTooLong.toString());
        }
        if (!ok || !EndCue())
            return {texts::kExchangeLine.toString().arg(m_failedLine).arg(m_error), {}, {}};
        ExchangeRead read;
        read.show.cues = std::move(m_cues);
        for (const auto &[dimmer, entry] : m_patch)
            read.show.patch.push_back(entry);
        read.leftOut = m_leftOut.Lines();
        return read;
    }

private:
    enum class Block { None, Cue, SkippedCue, Other };

    bool Fail(const QString &error)
    {
        m_error = error;
        m_failedLine = static_cast<int>(m_line) + 1;
        return false;
    }

    bool ReadLine(QStringView line)
    {
        qsizetype begin = 0;
        while (begin < line.size() && (IsDelimiter(line[begin]) || line[begin].isSpace()))
            ++begin;
        if (begin == line.size() || line[begin] == u'!')
            return true;
        qsizetype end = begin;
        while (end < line.size() && !IsDelimiter(line[end]))
            ++end;
        const QString written = line.mid(begin, end - begin).toString();
        if (written.toUpper() == u"TEXT") {
            // The label runs to the end of the line as written, spaces and '!' included.
            if (m_block == Block::Cue)
                m_cue.label = line.mid(std::min(end + 1, line.size())).toString();
            return true;
        }
        const QStringView rest = line.mid(end);
        const qsizetype comment = rest.indexOf(u'!');
        return Record(written, Tokens(comment < 0 ? rest : rest.left(comment)));
    }

    /// written: the keyword as the file spells it, for the operator.
    bool Record(const QString &written, const QStringList &tokens)
    {
        const QString keyword = written.toUpper();
        if (keyword == u"CUE")
            return StartCue(tokens.value(0));
        if (keyword == u"PATCH")
            return Patch(tokens);
        if (keyword == u"UP" || keyword == u"DOWN" || keyword == u"FOLLOWON" || keyword == u"CHAN")
            return CueRecord(keyword, written, tokens);
        if (keyword == u"ENDDATA")
            m_ended = true;
        else if (keyword.startsWith(u'$'))
            m_leftOut.Count(texts::kLeftOutManufacturer.toString());
        else if (keyword != u"IDENT" && keyword != u"MANUFACTURER" && keyword != u"CONSOLE" &&
                 keyword != u"CLEAR") {
            // Groups, sub-masters, effects...: the records that follow are theirs, not a cue's.
            if (!EndCue())
                return false;
            m_block = Block::Other;
            m_leftOut.Count(texts::kLeftOutRecord.toString().arg(u"%1", written));
        }
        return true;
    }

    bool StartCue(const QString &number)
    {
        if (!EndCue())
            return false;
        if (number.isEmpty())
            return Fail(texts::kExchangeMissing.toString().arg(u"Cue"));
        if (IsFinerNumber(number)) {
            m_block = Block::SkippedCue;
            m_leftOut.Count(texts::kLeftOutCueNumbers.toString());
            return true;
        }
        const std::optional<int> tenths = ParseTenths(number);
        if (!tenths)
            return Fail(texts::kExchangeNumber.toString().arg(number));
        m_cue = Cue{};
        m_cue.number = *tenths;
        m_cueLine = m_line;
        m_block = Block::Cue;
        return true;
    }

    bool CueRecord(const QString &keyword, const QString &written, const QStringList &tokens)
    {
        if (m_block == Block::None)
            return Fail(texts::kExchangeOutsideCue.toString().arg(written));
        if (m_block != Block::Cue)
            return true;
        if (tokens.isEmpty())
            return Fail(texts::kExchangeMissing.toString().arg(written));
        if (keyword == u"CHAN")
            return Levels(tokens);
        const std::optional<int> time = ParseTime(tokens[0]);
        const std::optional<int> delay = tokens.size() > 1 ? ParseTime(tokens[1]) : 0;
        if (!time || !delay)
            return Fail(texts::kExchangeTime.toString().arg(time ? tokens[1] : tokens[0]));
        if (keyword == u"UP") {
            m_cue.upTime = *time;
            if (*delay > 0)
                m_leftOut.Count(texts::kLeftOutUpDelays.toString());
        } else if (keyword == u"DOWN") {
            m_cue.downTime = *time;
            m_cue.delay = *delay;
        } else {
            m_cue.follow = *time;
        }
        return true;
    }

    bool Levels(const QStringList &tokens)
    {
        if (tokens.size() % 2 != 0)
            return Fail(texts::kExchangeUnpaired.toString());
        for (qsizetype i = 0; i < tokens.size(); i += 2) {
            const std::optional<int> channel = Number(tokens[i]);
            const std::optional<uint8_t> level = Level(tokens[i + 1]);
            if (!channel || *channel < 1)
                return Fail(texts::kExchangeNumber.toString().arg(tokens[i]));
            if (!level)
                return Fail(texts::kExchangeLevel.toString().arg(tokens[i + 1]));
            if (*channel > kConsoleChannels)
                m_leftOut.Count(texts::kLeftOutChannels.toString());
            else
                m_cue.look[*channel - 1] = *level;
        }
        return true;
    }

    bool Patch(const QStringList &tokens)
    {
        if (!EndCue())
            return false;
        m_block = Block::None;
        if (tokens.size() < 2)
            return Fail(texts::kExchangeMissing.toString().arg(u"Patch"));
        if (tokens.size() % 2 != 0)
            return Fail(texts::kExchangeUnpaired.toString());
        const std::optional<int> channel = Number(tokens[1]);
        if (!channel || *channel < 1)
            return Fail(texts::kExchangeNumber.toString().arg(tokens[1]));
        for (qsizetype i = 2; i < tokens.size(); i += 2) {
            const std::optional<int> dimmer = Number(tokens[i]);
            const std::optional<uint8_t> level = Level(tokens[i + 1]);
            if (!dimmer || *dimmer < 1)
                return Fail(texts::kExchangeNumber.toString().arg(tokens[i]));
            if (!level)
                return Fail(texts::kExchangeLevel.toString().arg(tokens[i + 1]));
            const int percent = static_cast<int>(std::lround(*level * 100.0 / 255.0));
            if (*dimmer > kDimmers)
                m_leftOut.Count(texts::kLeftOutDimmers.toString());
            else if (*channel > kConsoleChannels)
                m_leftOut.Count(texts::kLeftOutPatchChannels.toString());
            else if (!m_patch.emplace(*dimmer, PatchedDimmer{*dimmer, *channel, percent}).second)
                return Fail(texts::kExchangeTwicePatched.toString().arg(*dimmer));
        }
        return true;
    }

    /// Adds the cue being read, if any; a cue the list refuses fails on its Cue line.
    bool EndCue()
    {
        if (m_block != Block::Cue)
            return true;
        m_block = Block::None;
        const CueEdit added = m_cues.Add(m_cue);
        if (added.IsOk())
            return true;
        m_line = m_cueLine;
        return Fail(added.error);
    }

    CueList m_cues;
    std::map<int, PatchedDimmer> m_patch; // by dimmer
    LeftOut m_leftOut;
    Block m_block = Block::None;
    Cue m_cue;
    qsizetype m_cueLine = 0;
    qsizetype m_line = 0;
    bool m_ended = false;
    QString m_error;
    int m_failedLine = 0;
};

} // namespace

QByteArray UsittAscii::Write(const ExchangedShow &show)
{
    QByteArray out = QByteArray("Ident 3:0") + kNewline + "Manufacturer OrinSUB" + kNewline +
                     "Console OrinSUB" + kNewline + "Clear Patch" + kNewline;
    std::vector<PatchedDimmer> patch = show.patch;
    std::stable_sort(patch.begin(), patch.end(),
                     [](const auto &a, const auto &b) { return a.channel < b.channel; });
    for (size_t i = 0; i < patch.size();) {
        const int channel = patch[i].channel;
        RecordLines line(out, "Patch 1 " + QByteArray::number(channel));
        for (; i < patch.size() && patch[i].channel == channel; ++i)
            line.Add(QByteArray::number(patch[i].dimmer) + '@' +
                     QByteArray::number(patch[i].percent));
    }
    out += QByteArray("Clear Cues") + kNewline;
    for (const Cue &cue : show.cues.Cues())
        WriteCue(out, cue);
    return out + "Enddata" + kNewline;
}

ExchangeRead UsittAscii::Read(const QByteArray &bytes)
{
    if (bytes.size() > kMaxFileSize)
        return {texts::kExchangeTooLarge.toString(), {}, {}};
    return AsciiReader().Read(Decode(bytes));
}

} // namespace orinsub::model
