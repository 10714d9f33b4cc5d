#include "ShowFileTestShows.h"

#include "model/ShowFileContent.h"
#include "model/ShowFileFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace orinsub::model;
using orinsub::testing::AsBytes;
using orinsub::testing::ExtensionBlockBytes;
using orinsub::testing::ExtensionRecordBytes;
using orinsub::testing::ParseShow;
using orinsub::testing::UnusualShowBytes;

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray WideString(QStringView text)
{
    ShowFileWriter writer;
    writer.WriteString(text);
    return writer.TakeBytes();
}

QByteArray NarrowString(const QByteArray &text)
{
    EXPECT_LT(text.size(), 255);
    return char(text.size()) + text;
}

QByteArray Count(uint64_t n)
{
    ShowFileWriter writer;
    writer.WriteCount(n);
    return writer.TakeBytes();
}

/// A valid show whose header is given.
QByteArray ShowWithHeader(const QByteArray &header)
{
    return header + UnusualShowBytes().mid(WideString(kShowFileHeader).size());
}

/// The header and channels 1..80 of a new show, as written.
QByteArray HeaderAndEightyChannels()
{
    QByteArray bytes = WideString(kShowFileHeader);
    for (int32_t d = 1; d <= 80; ++d)
        bytes += WideString(u"") + Count(1) + QByteArray(reinterpret_cast<const char *>(&d), 4);
    return bytes;
}

/// Offsets at which each field of the show begins, as the writer lays it out, and its end.
std::vector<qsizetype> FieldBoundaries(const COrinSUBDoc &doc)
{
    std::vector<qsizetype> offsets;
    qsizetype written = 0;
    ShowFileWriter writer;
    const auto mark = [&] {
        written += writer.TakeBytes().size();
        offsets.push_back(written);
    };
    writer.WriteString(kShowFileHeader);
    mark();
    for (const auto &channel : doc.m_channels) {
        writer.WriteString(channel->m_name);
        mark();
        writer.WriteCount(channel->m_dimmers.size());
        mark();
        for (int32_t d : channel->m_dimmers)
            writer.WriteInt32(d);
        mark();
    }
    for (const auto &page : doc.m_pages)
        for (const auto &sub : page->m_subMasters) {
            writer.WriteString(sub->m_name);
            mark();
            writer.WriteCount(sub->m_levels.size());
            mark();
            writer.WriteBytes(sub->m_levels);
            mark();
        }
    return offsets;
}

} // namespace

TEST(ShowFileReader, UnusualShowRoundTripsThroughTheDocument)
{
    COrinSUBDoc original;
    orinsub::testing::FillUnusualShow(original);
    orinsub::testing::AddShowAdditions(original);
    original.Channel(79).m_name = QString(70000, u'x'); // 32-bit length
    const QByteArray bytes = ShowFileWriter::Encode(original);

    ShowFileParse parse = ParseShow(bytes);
    ASSERT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
    COrinSUBDoc loaded;
    loaded.m_patchSelection = {4, 2};
    std::move(parse.content).ApplyTo(loaded);

    EXPECT_EQ(ShowFileWriter::Encode(loaded), bytes);
    EXPECT_EQ(loaded.Channel(4).m_dimmers, (std::vector<int32_t>{0, -7, 513, 2147483647, 5, 5, 3}))
        << "dimmers are kept exactly as stored";
    EXPECT_EQ(loaded.GetSubMaster(7, 20)->m_levels, std::vector<uint8_t>(5, 128));
    EXPECT_EQ(loaded.GetSubMaster(20, 20)->m_levels.size(), 600u);
    EXPECT_EQ(loaded.Channel(2).m_name, original.Channel(2).m_name) << "lone surrogate kept";
    EXPECT_EQ(loaded.m_patchSelection, (std::vector<int32_t>{4, 2})) << "not part of a show";
    EXPECT_EQ(loaded.m_extension, original.m_extension);
}

TEST(ShowFileReader, HeaderMustMatchExactlyInEitherStringForm)
{
    EXPECT_EQ(ParseShow(ShowWithHeader(NarrowString("OrinSUB version 201306 a\n"))).status,
              ShowFileStatus::Ok);
    // The same text with the 16-bit length after the wide tag.
    EXPECT_EQ(
        ParseShow(ShowWithHeader(Hex("fffeffff1900") + WideString(kShowFileHeader).mid(4))).status,
        ShowFileStatus::Ok);

    const QString header = QString::fromUtf16(kShowFileHeader);
    for (qsizetype i = 0; i < header.size(); ++i) {
        QString changed = header;
        changed[i] = QChar(changed[i].unicode() ^ 0x20);
        EXPECT_EQ(ParseShow(ShowWithHeader(WideString(changed))).status,
                  ShowFileStatus::WrongVersion)
            << "character " << i;
    }
    for (const QString &other : {header.chopped(1), header + u' ', QString(), header.toLower(),
                                 header.chopped(1) + QStringLiteral("\r\n")}) {
        const ShowFileParse parse = ParseShow(ShowWithHeader(WideString(other)));
        EXPECT_EQ(parse.status, ShowFileStatus::WrongVersion) << other.toStdString();
        EXPECT_TRUE(parse.content.channels.empty());
    }
    EXPECT_EQ(ParseShow(NarrowString("OrinSUB version 201305 a\n")).status,
              ShowFileStatus::WrongVersion)
        << "a wrong header alone is reported as such, not as a short file";
}

TEST(ShowFileReader, TruncationAtAndInsideEveryFieldIsCorrupt)
{
    COrinSUBDoc doc;
    orinsub::testing::FillUnusualShow(doc);
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    const std::vector<qsizetype> boundaries = FieldBoundaries(doc);
    ASSERT_EQ(boundaries.back(), bytes.size());

    std::vector<qsizetype> cuts{0, 1, 2, 3, 4, 20};
    for (qsizetype b : boundaries)
        for (qsizetype delta : {-1, 0}) // inside the field before, and at its end
            if (b + delta >= 0 && b + delta < bytes.size())
                cuts.push_back(b + delta);
    for (qsizetype cut : cuts) {
        const ShowFileParse parse = ShowFileReader::Parse(AsBytes(bytes).first(cut));
        ASSERT_EQ(parse.status, ShowFileStatus::Corrupt) << "cut at " << cut;
        ASSERT_FALSE(parse.problem.isEmpty());
        ASSERT_TRUE(parse.content.channels.empty()) << "nothing half-read is handed out";
    }
}

TEST(ShowFileReader, ProblemSaysWhereTheFileBreaks)
{
    COrinSUBDoc fresh;
    const QByteArray freshBytes = ShowFileWriter::Encode(fresh);
    EXPECT_EQ(ParseShow(freshBytes.left(HeaderAndEightyChannels().size() + 3)).problem,
              QStringLiteral("チャンネル 81 の名前の途中でファイルが終わっています"));
    EXPECT_EQ(
        ParseShow(HeaderAndEightyChannels() + WideString(u"") + Count(433)).problem,
        QStringLiteral("チャンネル 81 のディマーに 1732 バイトのデータが必要ですが、ファイルの"
                       "残りは 0 バイトしかありません"));
    // A count whose bytes overflow 64 bits is still said in bytes.
    EXPECT_EQ(ParseShow(HeaderAndEightyChannels() + WideString(u"") +
                        Count(std::numeric_limits<uint64_t>::max()))
                  .problem,
              QStringLiteral("チャンネル 81 のディマーに 73786976294838206460 バイトのデータが必要"
                             "ですが、ファイルの残りは 0 バイトしかありません"));
    const QByteArray bytes = UnusualShowBytes();
    EXPECT_EQ(ParseShow(bytes.left(bytes.size() - 1)).problem,
              QStringLiteral("サブマスター 20-20 のレベルに 600 バイトのデータが必要ですが、ファイ"
                             "ルの残りは 599 バイトしかありません"));
    EXPECT_EQ(ParseShow(bytes + "x").problem,
              QStringLiteral("最後のサブマスターの後に余分なデータが 1 バイトあります"));
}

TEST(ShowFileReader, HugeLengthsAndCountsAreCorruptWithoutAllocating)
{
    const QByteArray head = HeaderAndEightyChannels();
    const uint64_t max64 = std::numeric_limits<uint64_t>::max();
    const QByteArray max64Bytes = Hex("ffffffffffffffff");
    const std::vector<QByteArray> spareChannelNames{
        Hex("fffeff ff feff") + QByteArray(100, 'a'),        // 16-bit wide length 0xFFFE
        Hex("fffeffffff") + Hex("feffffff"),                 // 32-bit wide length
        Hex("fffeffffffffffffff") + max64Bytes,              // 64-bit: 2 x length overflows
        Hex("fffeffffffffffffff") + Hex("0000000000000080"), // 2^63 units
        Hex("ffffffffffffff") + max64Bytes,                  // 8-bit, 64-bit length
        Hex("fffd7f") + QByteArray(100, 'a'),                // 8-bit, 16-bit length 0x7FFD
    };
    for (const QByteArray &name : spareChannelNames) {
        const ShowFileParse parse = ParseShow(head + name + QByteArray(64, '\0'));
        EXPECT_EQ(parse.status, ShowFileStatus::Corrupt) << name.toHex().toStdString();
        EXPECT_TRUE(parse.problem.startsWith(QStringLiteral("チャンネル 81 の名前")))
            << parse.problem.toStdString();
    }
    for (uint64_t count : {uint64_t{0xFFFE}, uint64_t{0xFFFFFFFE}, max64, max64 / 4 + 1}) {
        const ShowFileParse parse = ParseShow(head + WideString(u"") + Count(count) + "abcd");
        EXPECT_EQ(parse.status, ShowFileStatus::Corrupt) << count;
    }
    // A level count one beyond what is left, on the last record.
    QByteArray bytes = UnusualShowBytes();
    bytes[bytes.size() - 600 - 2] = char(601 & 0xFF);
    bytes[bytes.size() - 600 - 1] = char(601 >> 8);
    EXPECT_EQ(ParseShow(bytes).status, ShowFileStatus::Corrupt);
}

TEST(ShowFileReader, EightBitNamesDecodeAsWindowsCodePage932)
{
    const auto spareName = [](const QByteArray &stringBytes) {
        COrinSUBDoc doc;
        const QByteArray bytes = ShowFileWriter::Encode(doc);
        const qsizetype at = HeaderAndEightyChannels().size();
        ShowFileParse parse = ParseShow(bytes.left(at) + stringBytes + bytes.mid(at + 4));
        EXPECT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
        return parse.content.channels.empty() ? QString() : parse.content.channels[80].name;
    };
    // What Windows gives for each, code point by code point.
    const struct
    {
        QByteArray bytes;
        std::u16string text;
    } table[] = {
        {"\x8f\xc6\x96\xbe A\\~", u"照明 A\\~"},
        {"\xb1\xdd", u"ｱﾝ"},
        {"", u""},
        {"\x87\x40", u"①"},      // NEC special row
        {"\xfa\x40", u"ⅰ"},      // IBM extension
        {"\xf0\x40", u"\uE000"}, // user-defined area
        {"\x80", u"\u0080"},
        {"\xa0", u"\uF8F0"},
        {"\xfd", u"\uF8F1"},
        {"\xfe", u"\uF8F2"},
        {"\xff", u"\uF8F3"},
        {"a\x80"
         "b\xa0\xfd\xfe\xff",
         u"a\u0080b\uF8F0\uF8F1\uF8F2\uF8F3"},
        {"\x8f", u"\uFFFD"}, // cut off
        {"\x81\x7f", u"\uFFFD\x7f"},
    };
    for (const auto &row : table)
        EXPECT_EQ(spareName(NarrowString(row.bytes)), QString::fromStdU16String(row.text))
            << row.bytes.toHex().toStdString();
    // An 8-bit name with the 16-bit escalated length.
    const QByteArray longName(300, 'k');
    EXPECT_EQ(spareName(Hex("ff2c01") + longName), QString::fromLatin1(longName));
}

TEST(ShowFileWriter, LengthsAndCountsTakeTheShortestEscalation)
{
    EXPECT_EQ(WideString(u""), Hex("fffeff00"));
    EXPECT_EQ(WideString(QString(254, u'a')).left(4), Hex("fffefffe"));
    EXPECT_EQ(WideString(QString(255, u'a')).left(6), Hex("fffeffff ff00"));
    EXPECT_EQ(WideString(QString(0xFFFD, u'a')).left(6), Hex("fffeffff fdff"));
    EXPECT_EQ(WideString(QString(0xFFFE, u'a')).left(10), Hex("fffeffff ffff feff0000"));
    EXPECT_EQ(WideString(u"Aあ").mid(4), Hex("4100 4230"));

    EXPECT_EQ(Count(0), Hex("0000"));
    EXPECT_EQ(Count(0xFFFE), Hex("feff"));
    EXPECT_EQ(Count(0xFFFF), Hex("ffff ffff0000"));
    EXPECT_EQ(Count(0xFFFFFFFE), Hex("ffff feffffff"));
    EXPECT_EQ(Count(0xFFFFFFFF), Hex("ffff ffffffff ffffffff00000000"));
}

TEST(ShowFileWriter, NewShowHasTheExactLayout)
{
    COrinSUBDoc doc;
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    ASSERT_EQ(bytes.size(), kNewShowFileSize);
    EXPECT_EQ(bytes.left(4), Hex("fffeff19"));
    EXPECT_EQ(bytes.mid(4, 6), Hex("4f0072006900")); // "Ori"
    EXPECT_EQ(bytes.mid(52, 2), Hex("0a00"));
    EXPECT_EQ(bytes.mid(54, 10), Hex("fffeff00 0100 01000000"));
    EXPECT_EQ(bytes.mid(54 + 79 * 10, 10), Hex("fffeff00 0100 50000000"));
    const qsizetype spare = 54 + 800;
    EXPECT_EQ(bytes.mid(spare, 10), Hex("fffeff00 b001 51000000")) << "432 dimmers from 81";
    const qsizetype subs = spare + 1734;
    EXPECT_EQ(bytes.mid(subs - 4, 4), Hex("00020000")) << "the spare channel ends with 512";
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(bytes.mid(subs + i * 518, 6), Hex("fffeff00 0002")) << "sub-master " << i;
    EXPECT_EQ(bytes.mid(subs + 6, 512), QByteArray(512, '\0'));
}

TEST(ShowFileReader, ChannelWithoutDimmersIsItsNameAndZeroCount)
{
    COrinSUBDoc doc;
    doc.Channel(0).ClearDimmers();
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    EXPECT_EQ(bytes.mid(54, 6), Hex("fffeff00 0000"));
    ShowFileParse parse = ParseShow(bytes);
    ASSERT_EQ(parse.status, ShowFileStatus::Ok);
    EXPECT_TRUE(parse.content.channels[0].dimmers.empty());
    EXPECT_EQ(parse.content.channels[1].dimmers, std::vector<int32_t>{2});
}

TEST(ShowFileExtension, OnlyAShowWithAdditionsGetsTheBlockAfterItsLastSubMaster)
{
    const COrinSUBDoc fresh;
    const QByteArray freshBytes = ShowFileWriter::Encode(fresh);
    COrinSUBDoc doc;
    doc.SetFadeTime(12);
    doc.SetIndependent(3, true);
    doc.SetFadeTime(kDefaultFadeTime);
    doc.SetIndependent(3, false);
    EXPECT_EQ(ShowFileWriter::Encode(doc), freshBytes) << "additions back at their defaults";

    doc.SetFadeTime(12);
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    EXPECT_EQ(bytes.left(kNewShowFileSize), freshBytes);
    EXPECT_EQ(bytes.mid(kNewShowFileSize),
              Hex("4f52494e2d455854 0100 07000000 82f5e7fe 0300 01000000 0c"));
    EXPECT_EQ(Crc32().Add(AsBytes("123456789")).Value(), 0xCBF43926u) << "the zip and PNG CRC";
}

TEST(ShowFileExtension, DamagedOrNewerBlocksRefuseTheWholeShow)
{
    const COrinSUBDoc fresh;
    const QByteArray show = ShowFileWriter::Encode(fresh);
    const QByteArray fadeTime = ExtensionRecordBytes(3, Hex("0c"));
    const QByteArray good = ExtensionBlockBytes(fadeTime);
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = 0x0d;
    QByteArray badMagic = good;
    badMagic[7] = 'U';
    const QString framing = QStringLiteral("拡張ブロックの記録の区切りが正しくありません");
    const struct
    {
        const char *what;
        QByteArray block;
        ShowFileStatus status;
        QString problem;
    } cases[] = {
        {"checksum", badChecksum, ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックのチェックサムが合いません")},
        {"cut", good.chopped(1), ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックに 7 バイトのデータが必要ですが、ファイルの残りは 6 バイトしか"
                        "ありません")},
        {"header cut", good.left(17), ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックの見出しの途中でファイルが終わっています")},
        {"byte after", good + 'x', ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックの後に余分なデータが 1 バイトあります")},
        {"no magic", badMagic, ShowFileStatus::Corrupt,
         QStringLiteral("最後のサブマスターの後に余分なデータが 25 バイトあります")},
        {"version 0", ExtensionBlockBytes(fadeTime, 0), ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックのバージョンが正しくありません")},
        {"record header cut", ExtensionBlockBytes(Hex("030001")), ShowFileStatus::Corrupt, framing},
        {"record beyond payload", ExtensionBlockBytes(Hex("0300 02000000 0c")),
         ShowFileStatus::Corrupt, framing},
        {"independent size", ExtensionBlockBytes(ExtensionRecordBytes(1, QByteArray(9, 'x'))),
         ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックのインディペンデントチャンネルが正しくありません")},
        {"flash mode", ExtensionBlockBytes(ExtensionRecordBytes(2, Hex("02"))),
         ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックのフラッシュボタンの動作が正しくありません")},
        {"twice", ExtensionBlockBytes(fadeTime + fadeTime), ShowFileStatus::Corrupt,
         QStringLiteral("拡張ブロックにフェード時間が二つあります")},
        {"newer version", ExtensionBlockBytes(fadeTime, kExtensionVersion + 1),
         ShowFileStatus::TooNew, QString()},
        {"unknown record", ExtensionBlockBytes(fadeTime + ExtensionRecordBytes(99, "cue")),
         ShowFileStatus::TooNew, QString()},
        {"long fade time in a byte", ExtensionBlockBytes(ExtensionRecordBytes(5, Hex("10"))),
         ShowFileStatus::Corrupt, QStringLiteral("拡張ブロックのフェード時間が正しくありません")},
        {"long fade time of an hour", ExtensionBlockBytes(ExtensionRecordBytes(5, Hex("a08c"))),
         ShowFileStatus::Corrupt, QStringLiteral("拡張ブロックのフェード時間が正しくありません")},
        {"fade time in both forms",
         ExtensionBlockBytes(fadeTime + ExtensionRecordBytes(5, Hex("7017"))),
         ShowFileStatus::Corrupt, QStringLiteral("拡張ブロックにフェード時間が二つあります")},
    };
    for (const auto &c : cases) {
        const ShowFileParse parse = ParseShow(show + c.block);
        EXPECT_EQ(parse.status, c.status) << c.what;
        EXPECT_EQ(parse.problem, c.problem) << c.what;
        EXPECT_TRUE(parse.content == ShowFileContent{}) << c.what << ": nothing handed out";
    }
}

namespace {

/// One cue as the cue list record stores it: up 0.5 s, down 25.5 s, delay 1 s, a dark look.
QByteArray CueRecordBytes(uint16_t number, const QByteArray &label = {}, uint16_t follow = 0xFFFF)
{
    QByteArray bytes(7, '\0');
    qToLittleEndian<uint16_t>(number, bytes.data());
    bytes[2] = 5;
    bytes[3] = char(255);
    bytes[4] = 10;
    qToLittleEndian<uint16_t>(follow, bytes.data() + 5);
    bytes += QByteArray(80, '\0');
    QByteArray length(2, '\0');
    qToLittleEndian<uint16_t>(static_cast<uint16_t>(label.size() / 2), length.data());
    return bytes + length + label;
}

QByteArray CueListRecord(uint16_t count, const QByteArray &cues)
{
    QByteArray data(2, '\0');
    qToLittleEndian<uint16_t>(count, data.data());
    return ExtensionRecordBytes(4, data + cues);
}

/// A long-time cue list record of one cue, 1.5, dark and unlabelled: up, down, delay, follow.
QByteArray LongCueListRecord(std::array<uint16_t, 4> times, uint16_t count = 1)
{
    QByteArray data;
    for (uint16_t field : {count, uint16_t{15}, times[0], times[1], times[2], times[3]}) {
        char bytes[2];
        qToLittleEndian<uint16_t>(field, bytes);
        data.append(bytes, 2);
    }
    return ExtensionRecordBytes(6, data + QByteArray(80, '\0') + Hex("0000"));
}

} // namespace

TEST(ShowFileExtension, CueListIsOneRecordOfCuesInNumberOrder)
{
    COrinSUBDoc doc;
    Cue two;
    two.number = 20;
    two.look[0] = 255;
    Cue oneAndAHalf;
    oneAndAHalf.number = 15;
    oneAndAHalf.label = QStringLiteral("A");
    oneAndAHalf.upTime = 5;
    oneAndAHalf.downTime = 255;
    oneAndAHalf.delay = 10;
    oneAndAHalf.follow = 25;
    doc.EditCues([&](CueList &cues) {
        cues.Add(two);
        return cues.Add(oneAndAHalf);
    });
    const QByteArray expected =
        CueListRecord(2, CueRecordBytes(15, Hex("4100"), 25) + Hex("1400 1e 1e 00 ffff ff") +
                             QByteArray(79, 0) + Hex("0000"));
    EXPECT_EQ(ShowFileWriter::Encode(doc).mid(kNewShowFileSize + kExtensionHeaderSize), expected);
    const ShowFileParse parse = ParseShow(ShowFileWriter::Encode(doc));
    ASSERT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
    EXPECT_EQ(parse.content.extension.cues, doc.m_extension.cues);
}

TEST(ShowFileExtension, DamagedCueListRefusesTheWholeShow)
{
    const QByteArray show = ShowFileWriter::Encode(COrinSUBDoc{});
    const QByteArray one = CueRecordBytes(15, Hex("4100"));
    const struct
    {
        const char *what;
        QByteArray record;
    } cases[] = {
        {"no count", ExtensionRecordBytes(4, Hex("01"))},
        {"1000 cues", CueListRecord(1000, one)},
        {"fewer cues than counted", CueListRecord(2, one)},
        {"cut in a cue", CueListRecord(1, one.chopped(3))},
        {"cut in the label", CueListRecord(1, one.chopped(1))},
        {"byte after the last cue", CueListRecord(1, one + 'x')},
        {"numbers out of order", CueListRecord(2, CueRecordBytes(20) + CueRecordBytes(15))},
        {"a number twice", CueListRecord(2, CueRecordBytes(15) + CueRecordBytes(15))},
        {"cue 0.9", CueListRecord(1, CueRecordBytes(9))},
        {"cue 1000", CueListRecord(1, CueRecordBytes(10000))},
        {"follow 1000 s", CueListRecord(1, CueRecordBytes(15, {}, 10000))},
        {"label of 256", CueListRecord(1, CueRecordBytes(15, QByteArray(512, 'a')))},
        {"label with a lone surrogate", CueListRecord(1, CueRecordBytes(15, Hex("00d84100")))},
        {"long up time of an hour", LongCueListRecord({36000, 0, 0, kNoFollow})},
        {"fewer long cues than counted", LongCueListRecord({0, 0, 0, kNoFollow}, 2)},
    };
    for (const auto &c : cases) {
        const ShowFileParse parse = ParseShow(show + ExtensionBlockBytes(c.record));
        EXPECT_EQ(parse.status, ShowFileStatus::Corrupt) << c.what;
        EXPECT_EQ(parse.problem, QStringLiteral("拡張ブロックのキューリストが正しくありません"))
            << c.what;
        EXPECT_TRUE(parse.content == ShowFileContent{}) << c.what;
    }
}

// A time beyond the old records' reach takes the long form of its record, and only then: at the
// old limits the block is what it always was.
TEST(ShowFileExtension, LongTimesTakeTheLongRecordsOnlyWhenTheOldOnesCannotHoldThem)
{
    const auto recordsOf = [](int fadeTime, std::array<int, 3> times, int follow) {
        COrinSUBDoc doc;
        doc.SetFadeTime(fadeTime);
        Cue cue;
        cue.number = 15;
        cue.upTime = times[0];
        cue.downTime = times[1];
        cue.delay = times[2];
        cue.follow = follow;
        doc.EditCues([&](CueList &cues) { return cues.Add(cue); });
        return ShowFileWriter::Encode(doc).mid(kNewShowFileSize + kExtensionHeaderSize).toHex();
    };
    EXPECT_EQ(recordsOf(255, {255, 255, 255}, 9999),
              (ExtensionRecordBytes(3, Hex("ff")) +
               CueListRecord(1, Hex("0f00 ffffff 0f27") + QByteArray(80, 0) + Hex("0000")))
                  .toHex());
    EXPECT_EQ(
        recordsOf(256, {256, 6000, kMaxFadeTime}, 0),
        (ExtensionRecordBytes(5, Hex("0001")) + LongCueListRecord({256, 6000, 35999, 0})).toHex());
    EXPECT_EQ(recordsOf(30, {0, 0, 0}, 10000), LongCueListRecord({0, 0, 0, 10000}).toHex());

    COrinSUBDoc doc;
    orinsub::testing::AddShowAdditions(doc);
    orinsub::testing::AddLongTimes(doc);
    const ShowFileParse parse = ParseShow(ShowFileWriter::Encode(doc));
    ASSERT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
    EXPECT_EQ(parse.content.extension, doc.m_extension);
}

TEST(ShowFileExtension, DimmerCurvesAreOneRecordOfTheCurvedDimmersAndDamageRefusesTheShow)
{
    COrinSUBDoc doc;
    const int switched[] = {7, 512};
    ASSERT_TRUE(doc.SetDimmerCurves(switched, {CurveKind::Switch, 30, 100}));
    const int limited[] = {2};
    ASSERT_TRUE(doc.SetDimmerCurves(limited, {CurveKind::Linear, 50, 60}));
    const QByteArray record =
        ExtensionRecordBytes(8, Hex("0300 0200 00 32 3c 0700 04 1e 64 0002 04 1e 64"));
    EXPECT_EQ(ShowFileWriter::Encode(doc).mid(kNewShowFileSize + kExtensionHeaderSize), record);
    const ShowFileParse parse = ParseShow(ShowFileWriter::Encode(doc));
    ASSERT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
    EXPECT_EQ(parse.content.extension.curves, doc.m_extension.curves);

    const QByteArray show = ShowFileWriter::Encode(COrinSUBDoc{});
    const struct
    {
        const char *what;
        const char *data;
    } cases[] = {
        {"no curve", "0000"},
        {"fewer than counted", "0200 0700 04 1e 64"},
        {"a byte after", "0100 0700 04 1e 64 00"},
        {"dimmers out of order", "0200 0800 01 32 64 0700 01 32 64"},
        {"dimmer 0", "0100 0000 01 32 64"},
        {"dimmer 513", "0100 0102 01 32 64"},
        {"an unknown kind", "0100 0700 05 32 64"},
        {"threshold 0", "0100 0700 04 00 64"},
        {"limit 101", "0100 0700 00 32 65"},
        {"a linear curve", "0100 0700 00 32 64"},
    };
    for (const auto &c : cases) {
        const ShowFileParse damaged =
            ParseShow(show + ExtensionBlockBytes(ExtensionRecordBytes(8, Hex(c.data))));
        EXPECT_EQ(damaged.status, ShowFileStatus::Corrupt) << c.what;
        EXPECT_EQ(damaged.problem, QStringLiteral("拡張ブロックの調光カーブが正しくありません"))
            << c.what;
    }
}

namespace {

/// One chase as the chase record stores it: 120 BPM, half the step fading, bounce, carrying on,
/// on sub-master 2-3, named "A", with one step of channel 1 at full.
QByteArray ChaseBytes(uint8_t number, uint8_t page = 2, uint8_t subMaster = 3,
                      const QByteArray &name = Hex("4100"), uint8_t stepCount = 1)
{
    QByteArray bytes = char(number) + Hex("f401 32 02 00") + char(page) + char(subMaster) +
                       char(name.size() / 2) + name + char(stepCount);
    for (int s = 0; s < stepCount; ++s)
        bytes += char(255) + QByteArray(79, '\0');
    return bytes;
}

QByteArray ChaseRecordOf(uint16_t count, const QByteArray &chases)
{
    QByteArray data(2, '\0');
    qToLittleEndian<uint16_t>(count, data.data());
    return ExtensionRecordBytes(static_cast<uint16_t>(ExtensionRecord::Chases), data + chases);
}

} // namespace

TEST(ShowFileExtension, ChasesAreOneRecordInNumberOrder)
{
    COrinSUBDoc doc;
    Chase seven;
    seven.number = 7;
    Chase two;
    two.number = 2;
    two.name = QStringLiteral("A");
    two.steps.push_back({255});
    two.crossfadePercent = 50;
    two.direction = ChaseDirection::Bounce;
    two.restartOnRaise = false;
    two.place = {2, 3};
    doc.EditChases([&](ChaseList &chases) {
        chases.Add(seven);
        return chases.Add(two);
    });
    const QByteArray record = ChaseRecordOf(2, ChaseBytes(2) + Hex("07 f401 00 00 01 00 00 00 00"));
    EXPECT_EQ(ShowFileWriter::Encode(doc).mid(kNewShowFileSize + kExtensionHeaderSize), record);
    const ShowFileParse parse = ParseShow(ShowFileWriter::Encode(doc));
    ASSERT_EQ(parse.status, ShowFileStatus::Ok) << parse.problem.toStdString();
    EXPECT_EQ(parse.content.extension.chases, doc.m_extension.chases);
}

TEST(ShowFileExtension, DamagedChaseRecordRefusesTheWholeShow)
{
    const QByteArray show = ShowFileWriter::Encode(COrinSUBDoc{});
    const QByteArray one = ChaseBytes(2);
    const auto with = [&](int at, const char *hex) {
        return QByteArray(one).replace(at, QByteArray::fromHex(hex).size(), Hex(hex));
    };
    const struct
    {
        const char *what;
        QByteArray record;
    } cases[] = {
        {"no count",
         ExtensionRecordBytes(static_cast<uint16_t>(ExtensionRecord::Chases), Hex("01"))},
        {"100 chases", ChaseRecordOf(100, one)},
        {"fewer chases than counted", ChaseRecordOf(2, one)},
        {"cut in the name", ChaseRecordOf(1, ChaseBytes(2, 2, 3, Hex("41004200")).left(10))},
        {"cut in a step", ChaseRecordOf(1, one.chopped(1))},
        {"byte after the last chase", ChaseRecordOf(1, one + 'x')},
        {"chase 100", ChaseRecordOf(1, ChaseBytes(100))},
        {"numbers out of order", ChaseRecordOf(2, ChaseBytes(3, 1, 1) + ChaseBytes(2))},
        {"a number twice", ChaseRecordOf(2, ChaseBytes(2, 1, 1) + ChaseBytes(2))},
        {"two chases on one sub-master", ChaseRecordOf(2, ChaseBytes(2) + ChaseBytes(3))},
        {"step of 49 ms", ChaseRecordOf(1, with(1, "3100"))},
        {"crossfade 101 %", ChaseRecordOf(1, with(3, "65"))},
        {"direction 4", ChaseRecordOf(1, with(4, "04"))},
        {"unknown flag", ChaseRecordOf(1, with(5, "02"))},
        {"page 21", ChaseRecordOf(1, ChaseBytes(2, 21, 1))},
        {"sub-master without a page", ChaseRecordOf(1, ChaseBytes(2, 0, 1))},
        {"name of 64", ChaseRecordOf(1, ChaseBytes(2, 2, 3, QByteArray(128, 'a')))},
        {"name with a line break", ChaseRecordOf(1, ChaseBytes(2, 2, 3, Hex("0a00")))},
        {"100 steps", ChaseRecordOf(1, ChaseBytes(2, 2, 3, {}, 100))},
    };
    for (const auto &c : cases) {
        const ShowFileParse parse = ParseShow(show + ExtensionBlockBytes(c.record));
        EXPECT_EQ(parse.status, ShowFileStatus::Corrupt) << c.what;
        EXPECT_EQ(parse.problem, QStringLiteral("拡張ブロックのチェイスが正しくありません"))
            << c.what;
        EXPECT_TRUE(parse.content == ShowFileContent{}) << c.what;
    }
}
