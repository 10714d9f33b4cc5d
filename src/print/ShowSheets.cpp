#include "ShowSheets.h"

#include "PaperTexts.h"
#include "model/LevelPercent.h"
#include "model/OrinSUBDoc.h"
#include "model/SubMaster.h"

#include <QTextLayout>
#include <algorithm>

namespace orinsub::print {

namespace {

/// A curve as the patch sheet names it: its kind, a switch's threshold, a limit below full.
QString CurveText(const model::DimmerCurve &curve)
{
    QString text = model::CurveKindName(curve.kind);
    if (curve.kind == model::CurveKind::Switch)
        text += QStringLiteral(" %1 %").arg(curve.thresholdPercent);
    if (curve.limitPercent < 100)
        text += texts::kCurveLimit.toString().arg(curve.limitPercent);
    return text;
}

/// How wide a channel's name may be in a level cell, in full-width characters: "ホリゾント".
constexpr int kLevelNameChars = 5;
/// The patch sheet's name column, in full-width characters.
constexpr int kPatchNameChars = 12;
const QChar kFullWidth = u'Ｗ';

Cell At(qreal x, qreal width, const QString &text, Qt::Alignment align = Qt::AlignLeft,
        bool bold = false)
{
    return {x, width, text, align, bold};
}

model::CueLook SubMasterLevels(const model::CSubMaster &sub)
{
    model::CueLook levels{};
    for (int n = 0; n < model::kConsoleChannels; ++n)
        levels[n] = sub.LevelAt(n);
    return levels;
}

QStringList ChannelNames(const model::COrinSUBDoc &doc)
{
    QStringList names;
    for (int n = 0; n < model::kConsoleChannels; ++n)
        names << doc.Channel(n).GetName();
    return names;
}

} // namespace

ShowSheets::ShowSheets(const QFont &font, QPaintDevice *device, qreal width)
    : m_font(font), m_device(device), m_metrics(font, device), m_width(width),
      m_gap(m_metrics.horizontalAdvance(kFullWidth) * 0.6)
{
}

PrintedSheet ShowSheets::Of(Sheet sheet, const model::COrinSUBDoc &doc) const
{
    switch (sheet) {
    case Sheet::Cues:
        return Cues(doc);
    case Sheet::Patch:
        return Patch(doc);
    case Sheet::SubMasters:
        return SubMasters(doc);
    }
    return {};
}

QString ShowSheets::LevelText(uint8_t level)
{
    const int percent = model::LevelPercent(level);
    if (percent == 0)
        return QStringLiteral("--");
    if (percent == 100)
        return QStringLiteral("FF");
    return QStringLiteral("%1").arg(percent, 2, 10, QChar(u'0'));
}

QString ShowSheets::DimmerRuns(std::vector<int32_t> dimmers,
                               const std::array<model::DimmerCurve, model::kDimmers> &curves)
{
    // A loaded show may hold a channel's dimmers out of order or twice.
    std::sort(dimmers.begin(), dimmers.end());
    dimmers.erase(std::unique(dimmers.begin(), dimmers.end()), dimmers.end());
    const auto curveOf = [&](int32_t d) {
        return d >= 1 && d <= model::kDimmers ? curves[d - 1] : model::DimmerCurve{};
    };
    QStringList runs;
    for (size_t i = 0; i < dimmers.size();) {
        size_t last = i;
        while (last + 1 < dimmers.size() && dimmers[last + 1] == dimmers[last] + 1 &&
               curveOf(dimmers[last + 1]) == curveOf(dimmers[i]))
            ++last;
        QString run = last == i ? QString::number(dimmers[i])
                                : QStringLiteral("%1–%2").arg(dimmers[i]).arg(dimmers[last]);
        if (const model::DimmerCurve curve = curveOf(dimmers[i]); !curve.IsLinear())
            run += QStringLiteral(" (%1)").arg(CurveText(curve));
        runs << run;
        i = last + 1;
    }
    return runs.join(QStringLiteral(", "));
}

QStringList ShowSheets::Wrap(const QString &text, qreal width) const
{
    QString flowing = text;
    flowing.replace(QStringLiteral("\r\n"), QChar(QChar::LineSeparator));
    flowing.replace(u'\n', QChar(QChar::LineSeparator));
    flowing.replace(u'\r', QChar(QChar::LineSeparator));
    QTextLayout layout(flowing, m_font, m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString piece = flowing.mid(line.textStart(), line.textLength());
        piece.remove(QChar(QChar::LineSeparator));
        lines << piece.trimmed();
    }
    layout.endLayout();
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

void ShowSheets::AddWrapped(Block &block, Line first, const QStringList &lines, qreal x,
                            qreal width)
{
    first.push_back(At(x, width, lines.front()));
    block.lines.push_back(std::move(first));
    for (qsizetype i = 1; i < lines.size(); ++i)
        block.lines.push_back({At(x, width, lines[i])});
}

std::vector<Line> ShowSheets::LevelLines(const model::CueLook &levels, const QStringList &names,
                                         qreal x) const
{
    const qreal numberWidth = Advance(u"80");
    const qreal levelWidth = Advance(u"FF");
    const qreal least = numberWidth + levelWidth + 3 * m_gap +
                        m_metrics.horizontalAdvance(QString(kLevelNameChars, kFullWidth));
    const int perLine = std::max(1, static_cast<int>((m_width - x) / least));
    const qreal cellWidth = (m_width - x) / perLine;
    const qreal nameWidth = cellWidth - numberWidth - levelWidth - 3 * m_gap;

    std::vector<Line> lines;
    int inLine = perLine;
    for (int n = 0; n < model::kConsoleChannels; ++n) {
        if (levels[n] == 0)
            continue;
        if (inLine == perLine) {
            lines.emplace_back();
            inLine = 0;
        }
        const qreal left = x + inLine++ * cellWidth;
        Line &line = lines.back();
        line.push_back(At(left, numberWidth, QString::number(n + 1), Qt::AlignRight, true));
        line.push_back(
            At(left + numberWidth + m_gap, levelWidth, LevelText(levels[n]), Qt::AlignRight));
        line.push_back(At(left + numberWidth + levelWidth + 2 * m_gap, nameWidth,
                          m_metrics.elidedText(names[n], Qt::ElideRight, nameWidth)));
    }
    if (lines.empty())
        lines.push_back({At(x, m_width - x, texts::kAllAtZero.toString())});
    return lines;
}

PrintedSheet ShowSheets::Cues(const model::COrinSUBDoc &doc) const
{
    const qreal numberWidth = Advance(u"999.9");
    const qreal timeWidth = std::max(
        {Advance(texts::kUp), Advance(texts::kDown), Advance(texts::kDelay), Advance(u"25.5")});
    const qreal followWidth = std::max(Advance(texts::kFollow), Advance(u"999.9"));
    const qreal followX = m_width - followWidth;
    const qreal delayX = followX - m_gap - timeWidth;
    const qreal downX = delayX - m_gap - timeWidth;
    const qreal upX = downX - m_gap - timeWidth;
    const qreal labelX = numberWidth + m_gap;
    const qreal labelWidth = upX - m_gap - labelX;

    PrintedSheet sheet{texts::kCueSheet.toString(),
                       {At(0, numberWidth, texts::kNumber.toString(), Qt::AlignRight),
                        At(labelX, labelWidth, texts::kLabel.toString()),
                        At(upX, timeWidth, texts::kUp.toString(), Qt::AlignRight),
                        At(downX, timeWidth, texts::kDown.toString(), Qt::AlignRight),
                        At(delayX, timeWidth, texts::kDelay.toString(), Qt::AlignRight),
                        At(followX, followWidth, texts::kFollow.toString(), Qt::AlignRight)},
                       {}};
    const QStringList names = ChannelNames(doc);
    for (const model::Cue &cue : doc.m_extension.cues.Cues()) {
        Block block;
        const Line first = {
            At(0, numberWidth, model::CueNumberText(cue.number), Qt::AlignRight, true),
            At(upX, timeWidth, model::TimeText(cue.upTime), Qt::AlignRight),
            At(downX, timeWidth, model::TimeText(cue.downTime), Qt::AlignRight),
            At(delayX, timeWidth, model::TimeText(cue.delay), Qt::AlignRight),
            At(followX, followWidth, cue.follow ? model::TimeText(*cue.follow) : QString(),
               Qt::AlignRight)};
        AddWrapped(block, first, Wrap(cue.label, labelWidth), labelX, labelWidth);
        for (Line &line : LevelLines(cue.look, names, labelX))
            block.lines.push_back(std::move(line));
        sheet.blocks.push_back(std::move(block));
    }
    if (sheet.blocks.empty())
        sheet.blocks.push_back({{{At(labelX, labelWidth, texts::kNoCues.toString())}}});
    return sheet;
}

PrintedSheet ShowSheets::Patch(const model::COrinSUBDoc &doc) const
{
    const qreal channelWidth = std::max(Advance(texts::kChannel), Advance(u"80"));
    const qreal independentX = channelWidth + m_gap;
    const qreal independentWidth = Advance(texts::kIndependent);
    const qreal nameX = independentX + independentWidth + m_gap;
    const qreal nameWidth =
        std::min(m_metrics.horizontalAdvance(QString(kPatchNameChars, kFullWidth)), m_width * 0.3);
    const qreal dimmersX = nameX + nameWidth + m_gap;
    const qreal dimmersWidth = m_width - dimmersX;

    PrintedSheet sheet{texts::kPatchSheet.toString(),
                       {At(0, channelWidth, texts::kChannel.toString(), Qt::AlignRight),
                        At(independentX, independentWidth, texts::kIndependent.toString()),
                        At(nameX, nameWidth, texts::kName.toString()),
                        At(dimmersX, dimmersWidth, texts::kDimmers.toString())},
                       {}};
    const auto addChannel = [&](const QString &number, const QString &independent,
                                const QString &name, const model::CChannel &channel) {
        const QString runs = DimmerRuns(channel.m_dimmers, doc.m_extension.curves);
        Block block;
        AddWrapped(block,
                   {At(0, channelWidth, number, Qt::AlignRight, true),
                    At(independentX, independentWidth, independent, Qt::AlignHCenter),
                    At(nameX, nameWidth, m_metrics.elidedText(name, Qt::ElideRight, nameWidth))},
                   Wrap(runs.isEmpty() ? texts::kNoDimmer.toString() : runs, dimmersWidth),
                   dimmersX, dimmersWidth);
        sheet.blocks.push_back(std::move(block));
    };
    for (int n = 1; n <= model::kConsoleChannels; ++n) {
        addChannel(QString::number(n),
                   doc.m_extension.IsIndependent(n) ? QStringLiteral("●") : QString(),
                   doc.Channel(n - 1).GetName(), doc.Channel(n - 1));
    }
    addChannel({}, {}, texts::kUnpatched.toString(), doc.SpareChannel());
    return sheet;
}

PrintedSheet ShowSheets::SubMasters(const model::COrinSUBDoc &doc) const
{
    const qreal pageWidth = std::max(Advance(texts::kPage), Advance(u"20"));
    const qreal numberX = pageWidth + m_gap;
    const qreal numberWidth = std::max(Advance(texts::kSubMasterNumber), Advance(u"20"));
    const qreal nameX = numberX + numberWidth + m_gap;
    const qreal nameWidth = m_width - nameX;

    PrintedSheet sheet{
        texts::kSubMasterSheet.toString(),
        {At(0, pageWidth, texts::kPage.toString(), Qt::AlignRight),
         At(numberX, numberWidth, texts::kSubMasterNumber.toString(), Qt::AlignRight),
         At(nameX, nameWidth, texts::kName.toString())},
        {}};
    const QStringList names = ChannelNames(doc);
    for (int page = 1; page <= model::kPages; ++page) {
        for (int number = 1; number <= model::kSubMastersPerPage; ++number) {
            const model::CSubMaster &sub = *doc.GetSubMaster(page, number);
            const model::CueLook levels = SubMasterLevels(sub);
            const bool hasLevels =
                std::any_of(levels.begin(), levels.end(), [](uint8_t l) { return l > 0; });
            if (!hasLevels && sub.m_name.isEmpty())
                continue;
            Block block;
            AddWrapped(block,
                       {At(0, pageWidth, QString::number(page), Qt::AlignRight, true),
                        At(numberX, numberWidth, QString::number(number), Qt::AlignRight, true)},
                       Wrap(sub.m_name, nameWidth), nameX, nameWidth);
            for (Line &line : LevelLines(levels, names, nameX))
                block.lines.push_back(std::move(line));
            sheet.blocks.push_back(std::move(block));
        }
    }
    if (sheet.blocks.empty())
        sheet.blocks.push_back({{{At(nameX, nameWidth, texts::kNoSubMasters.toString())}}});
    return sheet;
}

} // namespace orinsub::print
