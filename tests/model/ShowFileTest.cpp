#include "ShowFileTestShows.h"

#include "model/ShowFile.h"
#include "support/TempFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orinsub::model;
using orinsub::testing::ReadFile;

namespace {

class ShowFileTest : public testing::Test
{
protected:
    orinsub::testing::TempFolder dir;
};

/// An extension block from a newer console, checksum and all.
QByteArray NewerBlock()
{
    using namespace orinsub::testing;
    return ExtensionBlockBytes(ExtensionRecordBytes(3, "\x0c"), kExtensionVersion + 1);
}

/// Makes writes beyond a few bytes fail with EFBIG, as a full disk would, for its lifetime.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST_F(ShowFileTest, SavedShowOpensIntoAnotherDocumentUnchanged)
{
    COrinSUBDoc original;
    orinsub::testing::FillUnusualShow(original);
    const QString path = dir.PathOf(QStringLiteral("本番.orin"));
    ASSERT_TRUE(SaveShowFile(original, path).IsOk());

    COrinSUBDoc loaded;
    loaded.m_patchSelection = {9};
    loaded.SetModifiedFlag(true);
    const ShowFileResult result = OpenShowFile(loaded, path);
    ASSERT_TRUE(result.IsOk()) << result.message.toStdString();
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(ShowFileWriter::Encode(loaded), ReadFile(path));
    EXPECT_EQ(loaded.m_patchSelection, std::vector<int32_t>{9});
    EXPECT_TRUE(loaded.IsModified()) << "the flag is the caller's";
    EXPECT_EQ(dir.Entries(), QStringList{QStringLiteral("本番.orin")}) << "no temporary file left";

    COrinSUBDoc fresh;
    ASSERT_TRUE(SaveShowFile(fresh, dir.PathOf(QStringLiteral("new.orin"))).IsOk());
    EXPECT_EQ(QFileInfo(dir.PathOf(QStringLiteral("new.orin"))).size(), kNewShowFileSize);
}

TEST_F(ShowFileTest, OpenRejectsBadFilesAndKeepsTheCurrentShow)
{
    COrinSUBDoc doc;
    orinsub::testing::FillUnusualShow(doc);
    const QByteArray before = ShowFileWriter::Encode(doc);

    COrinSUBDoc other;
    other.Channel(0).m_name = QStringLiteral("別のショー");
    QByteArray otherBytes = ShowFileWriter::Encode(other);
    QByteArray wrongVersion = otherBytes;
    wrongVersion[4 + 2 * 21] = '7'; // 201306 -> 201376
    struct Case
    {
        QString name;
        QByteArray bytes;
        ShowFileStatus status;
    } cases[] = {
        {QStringLiteral("old.orin"), wrongVersion, ShowFileStatus::WrongVersion},
        {QStringLiteral("cut.orin"), otherBytes.left(otherBytes.size() - 1),
         ShowFileStatus::Corrupt},
        {QStringLiteral("empty.orin"), QByteArray(), ShowFileStatus::Corrupt},
        {QStringLiteral("50% off.orin"), otherBytes + '\0', ShowFileStatus::Corrupt},
        {QStringLiteral("newer.orin"), otherBytes + NewerBlock(), ShowFileStatus::TooNew},
    };
    for (const Case &c : cases) {
        const QString path = dir.Write(c.name, c.bytes);
        const ShowFileResult result = OpenShowFile(doc, path);
        EXPECT_EQ(result.status, c.status) << c.name.toStdString();
        EXPECT_TRUE(result.message.contains(path)) << result.message.toStdString();
        EXPECT_EQ(ShowFileWriter::Encode(doc), before) << c.name.toStdString();
    }

    EXPECT_EQ(OpenShowFile(doc, dir.PathOf(QStringLiteral("missing.orin"))).status,
              ShowFileStatus::Unreadable);
    EXPECT_EQ(OpenShowFile(doc, dir.Path()).status, ShowFileStatus::Unreadable);
    EXPECT_EQ(ShowFileWriter::Encode(doc), before);
}

TEST_F(ShowFileTest, MessagesNameTheFileAndTheProblemInJapanese)
{
    COrinSUBDoc doc;
    const QString cut = dir.Write(QStringLiteral("a%2b.orin"), QByteArray::fromHex("fffeff19"));
    EXPECT_EQ(OpenShowFile(doc, cut).message,
              QStringLiteral("ショーファイル「%1」は壊れているか途中で切れているため、開けません"
                             "（見出しに 50 バイトのデータが必要ですが、ファイルの残りは 0 バイトし"
                             "かありません）。")
                  .arg(cut));
    const QString missing = dir.PathOf(QStringLiteral("none.orin"));
    EXPECT_EQ(OpenShowFile(doc, missing).message,
              QStringLiteral("ショーファイル「%1」を読み込めません（ファイルが見つかりません）。")
                  .arg(missing));
    const QString png = dir.Write(QStringLiteral("photo.orin"),
                                  QByteArray("\x89PNG\r\n", 6) + QByteArray(200, 'x'));
    EXPECT_EQ(
        OpenShowFile(doc, png).message,
        QStringLiteral("「%1」はこのコンソールのショーファイルではないか、バージョンが違います。")
            .arg(png));
    const QString newer =
        dir.Write(QStringLiteral("newer.orin"), ShowFileWriter::Encode(doc) + NewerBlock());
    EXPECT_EQ(OpenShowFile(doc, newer).message,
              QStringLiteral("ショーファイル「%1」には、このコンソールより新しいバージョンで保存さ"
                             "れた内容があります。このバージョンで開くとその内容が失われるため、"
                             "開けません。")
                  .arg(newer));
}

TEST_F(ShowFileTest, HugeFileIsRefusedBeforeItIsRead)
{
    const QString path = dir.PathOf(QStringLiteral("huge.orin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxShowFileSize + 1)); // sparse: costs no disk
    file.close();
    COrinSUBDoc doc;
    const ShowFileResult result = OpenShowFile(doc, path);
    EXPECT_EQ(result.status, ShowFileStatus::Corrupt);
    EXPECT_TRUE(result.message.contains(QStringLiteral("大きすぎます")));
}

TEST_F(ShowFileTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile)
{
    COrinSUBDoc doc;
    const QString path = dir.PathOf(QStringLiteral("show.orin"));
    const QByteArray old("the previous show");
    dir.Write(QStringLiteral("show.orin"), old);

    ShowFileResult result;
    {
        FileSizeLimit limit(4096);
        result = SaveShowFile(doc, path);
    }
    EXPECT_EQ(result.status, ShowFileStatus::Unwritable);
    EXPECT_TRUE(result.message.contains(path));
    EXPECT_TRUE(result.message.endsWith(QStringLiteral("元のファイルは変更されていません。")));
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(dir.Entries(), QStringList{QStringLiteral("show.orin")});

    const QString noFolder = dir.PathOf(QStringLiteral("gone/show.orin"));
    result = SaveShowFile(doc, noFolder);
    EXPECT_EQ(result.status, ShowFileStatus::Unwritable);
    EXPECT_EQ(result.message,
              QStringLiteral("ショーファイル「%1」を保存できませんでした（保存先のフォルダがありま"
                             "せん）。")
                  .arg(noFolder));

    ASSERT_TRUE(QDir(dir.Path()).mkdir(QStringLiteral("folder.orin")));
    EXPECT_EQ(SaveShowFile(doc, dir.PathOf(QStringLiteral("folder.orin"))).status,
              ShowFileStatus::Unwritable);
    EXPECT_TRUE(QFileInfo(dir.PathOf(QStringLiteral("folder.orin"))).isDir());
}

TEST_F(ShowFileTest, SaveKeepsPermissionsAndSymbolicLinks)
{
    COrinSUBDoc doc;
    const QString real = dir.Write(QStringLiteral("real.orin"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString link = dir.PathOf(QStringLiteral("link.orin"));
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(SaveShowFile(doc, link).IsOk());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(real).size(), kNewShowFileSize);
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link to a show that does not exist yet creates it and stays a link.
    const QString pending = dir.PathOf(QStringLiteral("pending.orin"));
    ASSERT_EQ(::symlink("later.orin", QFile::encodeName(pending).constData()), 0);
    ASSERT_TRUE(SaveShowFile(doc, pending).IsOk());
    EXPECT_EQ(QFileInfo(pending).symLinkTarget(), dir.PathOf(QStringLiteral("later.orin")));
    EXPECT_EQ(QFileInfo(dir.PathOf(QStringLiteral("later.orin"))).size(), kNewShowFileSize);
}

TEST_F(ShowFileTest, NameAsLongAsTheFolderTakesSavesAgainAndAgain)
{
    const long nameMax = ::pathconf(QFile::encodeName(dir.Path()).constData(), _PC_NAME_MAX);
    ASSERT_GT(nameMax, 20);
    QString name = QString((nameMax - 5) / 3, QChar(u'照')) + QStringLiteral(".orin");
    name.prepend(QString(nameMax - QFile::encodeName(name).size(), QChar(u'x')));
    ASSERT_EQ(QFile::encodeName(name).size(), nameMax);

    COrinSUBDoc doc;
    const QString path = dir.PathOf(name);
    for (const QString &channelName : {QStringLiteral("初回"), QStringLiteral("上書き")}) {
        doc.Channel(0).m_name = channelName;
        const ShowFileResult result = SaveShowFile(doc, path);
        ASSERT_TRUE(result.IsOk()) << result.message.toStdString();
    }
    COrinSUBDoc loaded;
    ASSERT_TRUE(OpenShowFile(loaded, path).IsOk());
    EXPECT_EQ(loaded.Channel(0).m_name, QStringLiteral("上書き"));
    EXPECT_EQ(dir.Entries(), QStringList{name});
}

TEST_F(ShowFileTest, EveryShowThatSavesOpensAgain)
{
    // Channel 1's name (10 bytes of tag and length, 2 a character) fills the show, with its
    // extension block, to the limit.
    COrinSUBDoc doc;
    doc.SetIndependent(1, true);
    const qsizetype block = ShowExtensionBlock::Encode(doc.m_extension).size();
    doc.Channel(0).m_name =
        QString((kMaxShowFileSize - kNewShowFileSize - 6 - block) / 2, QChar(u'照'));
    const QString path = dir.PathOf(QStringLiteral("full.orin"));
    ASSERT_TRUE(SaveShowFile(doc, path).IsOk());
    ASSERT_EQ(QFileInfo(path).size(), kMaxShowFileSize);
    COrinSUBDoc loaded;
    ASSERT_TRUE(OpenShowFile(loaded, path).IsOk());

    doc.Channel(0).m_name += u'x';
    const ShowFileResult result = SaveShowFile(doc, path);
    EXPECT_EQ(result.status, ShowFileStatus::Unwritable);
    EXPECT_EQ(result.message,
              QStringLiteral("ショーファイル「%1」を保存できませんでした（保存すると 67108866 "
                             "バイトになり、開ける大きさの上限 67108864 バイトを超えます）。元の"
                             "ファイルは変更されていません。")
                  .arg(path));
    EXPECT_EQ(QFileInfo(path).size(), kMaxShowFileSize);
    EXPECT_EQ(dir.Entries(), QStringList{QStringLiteral("full.orin")});
}
