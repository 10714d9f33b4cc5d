#include "ShowPrinter.h"

#include "PaperTexts.h"
#include "ShowSheets.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace orinsub::print {

namespace {

constexpr qreal kBodyPoints = 9;
constexpr qreal kHeadPoints = 11;
constexpr qreal kMarginMillimetres = 12;
constexpr qreal kLineSpacing = 1.2; // of the font's own, so that a line of levels reads apart
const QColor kRuleColour(160, 160, 160);
const QColor kBlockRuleColour(210, 210, 210);

QFont PaperFont(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("VL PGothic"), QStringLiteral("VL Gothic")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

/// One line of a page, and whether a block starts with it (a rule is drawn above it).
struct PageLine
{
    const Line *line;
    bool startsBlock;
};

struct Page
{
    const PrintedSheet *sheet;
    std::vector<PageLine> lines;
};

/// The sheets' blocks on pages of linesPerPage: a block goes whole to the next page when it
/// does not fit on this one; only a block longer than a page is parted.
std::vector<Page> Paginate(const std::vector<PrintedSheet> &sheets, int linesPerPage)
{
    std::vector<Page> pages;
    for (const PrintedSheet &sheet : sheets) {
        pages.push_back({&sheet, {}});
        for (const Block &block : sheet.blocks) {
            const auto used = static_cast<int>(pages.back().lines.size());
            if (used > 0 && used + static_cast<int>(block.lines.size()) > linesPerPage)
                pages.push_back({&sheet, {}});
            for (size_t i = 0; i < block.lines.size(); ++i) {
                if (static_cast<int>(pages.back().lines.size()) >= linesPerPage)
                    pages.push_back({&sheet, {}});
                pages.back().lines.push_back({&block.lines[i], i == 0});
            }
        }
    }
    return pages;
}

/// Paints pages on one device: the head, the column heads, the lines and the page number.
class PagePainter
{
public:
    PagePainter(QPainter &painter, const PaperJob &job, qreal width, qreal height)
        : m_painter(painter), m_job(job), m_width(width), m_height(height),
          m_body(PaperFont(kBodyPoints)), m_bold(PaperFont(kBodyPoints, true)),
          m_head(PaperFont(kHeadPoints, true)),
          m_lineHeight(QFontMetricsF(m_body, painter.device()).lineSpacing() * kLineSpacing),
          m_headHeight(QFontMetricsF(m_head, painter.device()).lineSpacing() * 1.5),
          m_top(m_headHeight + m_lineHeight * 1.3)
    {
    }

    const QFont &BodyFont() const { return m_body; }
    /// How many lines a page holds under its heads, above its page number.
    int LinesPerPage() const
    {
        return std::max(1,
                        static_cast<int>((m_height - m_top - m_lineHeight * 1.5) / m_lineHeight));
    }

    void Paint(const Page &page, int number, int count)
    {
        m_painter.setFont(m_head);
        m_painter.setPen(Qt::black);
        const QRectF head(0, 0, m_width, m_headHeight);
        m_painter.drawText(head, Qt::AlignLeft | Qt::AlignTop,
                           texts::kPageHead.toString().arg(m_job.showName, page.sheet->title));
        m_painter.setFont(m_body);
        m_painter.drawText(head, Qt::AlignRight | Qt::AlignTop,
                           m_job.printedAt.toString(texts::kDateFormat.toString()));
        PaintLine(page.sheet->heading, m_headHeight);
        const qreal ruleY = m_headHeight + m_lineHeight * 1.1;
        PaintRule(ruleY, kRuleColour);

        qreal y = m_top;
        for (size_t i = 0; i < page.lines.size(); ++i) {
            if (page.lines[i].startsBlock && i > 0)
                PaintRule(y, kBlockRuleColour);
            PaintLine(*page.lines[i].line, y);
            y += m_lineHeight;
        }
        m_painter.setFont(m_body);
        m_painter.drawText(QRectF(0, m_height - m_lineHeight, m_width, m_lineHeight),
                           Qt::AlignHCenter | Qt::AlignBottom,
                           texts::kPageNumber.toString().arg(number).arg(count));
    }

private:
    void PaintLine(const Line &line, qreal y)
    {
        for (const Cell &cell : line) {
            m_painter.setFont(cell.bold ? m_bold : m_body);
            m_painter.drawText(QRectF(cell.x, y, cell.width, m_lineHeight),
                               cell.align | Qt::AlignVCenter | Qt::TextSingleLine, cell.text);
        }
    }
    void PaintRule(qreal y, const QColor &colour)
    {
        const QPen pen = m_painter.pen();
        m_painter.setPen(QPen(colour, 0));
        m_painter.drawLine(QPointF(0, y), QPointF(m_width, y));
        m_painter.setPen(pen);
    }

    QPainter &m_painter;
    const PaperJob &m_job;
    qreal m_width;
    qreal m_height;
    QFont m_body;
    QFont m_bold;
    QFont m_head;
    qreal m_lineHeight;
    qreal m_headHeight;
    qreal m_top; // where the first line of a page's body starts
};

} // namespace

void ShowPrinter::SetUpA4(QPagedPaintDevice &device, QPageLayout::Orientation orientation)
{
    const QMarginsF margins(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres,
                            kMarginMillimetres);
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), orientation, margins, QPageLayout::Millimeter));
}

int ShowPrinter::Print(const model::COrinSUBDoc &doc, const PaperJob &job,
                       QPagedPaintDevice &device)
{
    QPainter painter;
    if (job.sheets.empty() || !painter.begin(&device))
        return 0;
    const qreal width = device.width();
    PagePainter pages(painter, job, width, device.height());
    const ShowSheets layout(pages.BodyFont(), &device, width);
    std::vector<PrintedSheet> sheets;
    for (Sheet sheet : job.sheets)
        sheets.push_back(layout.Of(sheet, doc));
    const std::vector<Page> laidOut = Paginate(sheets, pages.LinesPerPage());
    const int count = static_cast<int>(laidOut.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage())
            return 0;
        pages.Paint(laidOut[i], i + 1, count);
    }
    return painter.end() ? count : 0;
}

QByteArray ShowPrinter::Pdf(const model::COrinSUBDoc &doc, const PaperJob &job,
                            QPageLayout::Orientation orientation)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(job.showName);
        writer.setCreator(QStringLiteral("OrinSUB"));
        SetUpA4(writer, orientation);
        if (Print(doc, job, writer) == 0)
            return {};
    }
    return buffer.data();
}

} // namespace orinsub::print
