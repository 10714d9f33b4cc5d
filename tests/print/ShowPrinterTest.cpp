#include "print/ShowPrinter.h"
#include "model/ShowFileTestShows.h"
#include "print/ShowSheets.h"
#include "support/PdfText.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::print;
namespace support = orinsub::testing;

namespace {

const QDateTime kPrinted(QDate(2026, 5, 1), QTime(19, 30));

QString WithoutSpaces(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

class ShowPrinterTest : public ::testing::Test
{
protected:
    static QByteArray Pdf(const model::COrinSUBDoc &doc, std::vector<Sheet> sheets,
                          QPageLayout::Orientation orientation = QPageLayout::Portrait)
    {
        const QByteArray pdf = ShowPrinter::Pdf(
            doc, {std::move(sheets), QStringLiteral("夏の夜の夢"), kPrinted}, orientation);
        EXPECT_TRUE(pdf.startsWith("%PDF"));
        return pdf;
    }

    model::COrinSUBDoc doc;
};

} // namespace

TEST_F(ShowPrinterTest, FullCueListPrintsEveryCueWholeWithItsJapaneseLabelOnNumberedPages)
{
    support::FillCueList(doc);
    doc.Channel(0).SetName(QStringLiteral("地明かり"));
    const support::PdfText pdf = support::ReadPdf(Pdf(doc, {Sheet::Cues}));

    const int count = static_cast<int>(pdf.pages.size());
    ASSERT_GT(count, 10);
    EXPECT_TRUE(pdf.info.contains(QStringLiteral("Pages:           %1").arg(count)));
    QString all;
    for (int i = 0; i < count; ++i) {
        const QString &page = pdf.pages[i];
        EXPECT_TRUE(page.contains(QStringLiteral("夏の夜の夢 — キューシート"))) << i;
        EXPECT_TRUE(page.contains(QStringLiteral("2026/05/01 19:30"))) << i;
        EXPECT_TRUE(page.contains(QStringLiteral("%1 / %2 ページ").arg(i + 1).arg(count))) << i;
        all += page;
    }
    for (int i = 2; i < model::kMaxCues; ++i) {
        const model::Cue &cue = doc.m_extension.cues.Cues()[i];
        const QRegularExpression line(
            QStringLiteral("^ *%1 +シーン %2 ")
                .arg(QRegularExpression::escape(model::CueNumberText(cue.number)))
                .arg(i),
            QRegularExpression::MultilineOption);
        ASSERT_TRUE(line.match(all).hasMatch()) << "cue " << i;
    }
    // The first cue's 255-character label wraps and comes back whole, its times after its first
    // line; channel 1's name stands beside its level.
    const QString first = model::TimeText(0) + model::TimeText(255) + model::TimeText(0);
    EXPECT_TRUE(
        WithoutSpaces(all)
            .replace(first, QString())
            .contains(QStringLiteral("1") + QString(model::kMaxCueLabelLength, QChar(u'あ'))));
    EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral(" 1 +[-0-9F]{2} 地明かり"))));

    // A page break never parts a cue: under the column heads, every page starts with a cue's
    // own line, its number and label.
    const QRegularExpression cueLine(QStringLiteral("^ *[0-9.]+ +\\S"));
    for (int i = 0; i < pdf.pages.size(); ++i) {
        QStringList lines = pdf.pages[i].split(u'\n', Qt::SkipEmptyParts);
        const qsizetype heads = lines.indexOf(QRegularExpression(QStringLiteral("^ *番号 .*")));
        ASSERT_GE(heads, 0) << i;
        ASSERT_GT(lines.size(), heads + 1) << i;
        EXPECT_TRUE(cueLine.match(lines[heads + 1]).hasMatch())
            << i << ": " << lines[heads + 1].toStdString();
    }
}

TEST_F(ShowPrinterTest, OrientationGivesThePagesTheirShape)
{
    const struct
    {
        QPageLayout::Orientation orientation;
        const char *size;
    } kCases[] = {{QPageLayout::Portrait, "595 x 842 pts (A4)"},
                  {QPageLayout::Landscape, "842 x 595 pts (A4)"}};
    for (const auto &c : kCases) {
        const support::PdfText pdf = support::ReadPdf(Pdf(doc, {Sheet::Patch}, c.orientation));
        EXPECT_TRUE(pdf.info.contains(QLatin1String(c.size))) << pdf.info.toStdString();
    }
}

TEST_F(ShowPrinterTest, SheetsComeInTheirOrderEachFromANewPage)
{
    doc.Channel(12).SetName(QStringLiteral("客席"));
    doc.SetIndependent(13, true);
    doc.UnpatchDimmer(100);
    doc.Channel(12).AddDimmer(100);
    doc.GetSubMaster(3, 7)->m_name = QStringLiteral("転換");
    doc.GetSubMaster(3, 7)->m_levels[12] = 255;
    const support::PdfText pdf =
        support::ReadPdf(Pdf(doc, {Sheet::SubMasters, Sheet::Cues, Sheet::Patch}));

    ASSERT_EQ(pdf.pages.size(), 4);
    EXPECT_TRUE(pdf.pages[0].contains(QStringLiteral("サブマスターシート")));
    EXPECT_TRUE(
        pdf.pages[0].contains(QRegularExpression(QStringLiteral(" 3 +7 +転換\\n +13 +FF 客席"))));
    EXPECT_TRUE(pdf.pages[1].contains(QStringLiteral("キューはありません。")));
    EXPECT_TRUE(pdf.pages[2].contains(QStringLiteral("パッチシート")));
    EXPECT_TRUE(
        pdf.pages[2].contains(QRegularExpression(QStringLiteral(" 13 +● +客席 +13, 100\\n"))));
    EXPECT_TRUE(pdf.pages[2].contains(QRegularExpression(QStringLiteral(" 14 +14\\n"))));
    EXPECT_TRUE(
        pdf.pages[3].contains(QRegularExpression(QStringLiteral("未パッチ +81–99, 101–512"))));
}

TEST(ShowSheets, LevelsReadAsTheChannelReadoutsShowThem)
{
    const std::pair<uint8_t, const char *> kCases[] = {
        {0, "--"}, {2, "--"}, {3, "01"}, {26, "10"}, {128, "50"}, {254, "99"}, {255, "FF"}};
    for (const auto &[level, text] : kCases)
        EXPECT_EQ(ShowSheets::LevelText(level), QLatin1String(text)) << int(level);
}

TEST(ShowSheets, DimmersReadAsRuns)
{
    const std::pair<std::vector<int32_t>, QString> kCases[] = {
        {{}, QString()},
        {{5}, QStringLiteral("5")},
        {{1, 2, 3, 4, 7, 9, 10}, QStringLiteral("1–4, 7, 9–10")},
        {{3, 1, 2, 2, 8}, QStringLiteral("1–3, 8")}, // as a damaged show may hold them
    };
    for (const auto &[dimmers, runs] : kCases)
        EXPECT_EQ(ShowSheets::DimmerRuns(dimmers), runs);

    std::array<model::DimmerCurve, model::kDimmers> curves{};
    curves[1] = curves[2] = {model::CurveKind::HallA, 50, 90};
    curves[8] = {model::CurveKind::Switch, 30, 100};
    EXPECT_EQ(ShowSheets::DimmerRuns({1, 2, 3, 4, 9, 10}, curves),
              QStringLiteral("1, 2–3 (JATET A 上限 90 %), 4, 9 (非調光 30 %), 10"));
}
