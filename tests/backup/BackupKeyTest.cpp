#include "backup/BackupKey.h"
#include "backup/BackupTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace orinsub::backup;

namespace {

TEST(BackupKey, OnlyAHexKeyOfThirtyTwoBytesThatOnlyItsOwnerMayReadIsTaken)
{
    QTemporaryDir folder;
    const QByteArray good = QByteArray(32, '\xa5').toHex();
    const struct
    {
        const char *what;
        QByteArray content;
        QFile::Permissions permissions;
        QString error; // %1 the path; empty: taken
    } cases[] = {
        {"good", good + "\n", QFile::ReadOwner | QFile::WriteOwner, {}},
        {"split over lines", good.left(32) + "\n  " + good.mid(32) + "\n", QFile::ReadOwner, {}},
        {"readable by the group", good, QFile::ReadOwner | QFile::ReadGroup, kKeyTooOpen},
        {"readable by anyone", good, QFile::ReadOwner | QFile::ReadOther, kKeyTooOpen},
        {"31 bytes", QByteArray(31, '\xa5').toHex(), QFile::ReadOwner, kKeyTooShort},
        {"not hex", "correct horse battery staple", QFile::ReadOwner, kKeyNotHex},
        {"an odd digit", good + "a", QFile::ReadOwner, kKeyNotHex},
        {"empty", "", QFile::ReadOwner, kKeyNotHex},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString path = folder.filePath(QStringLiteral("key%1").arg(n++));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        file.setPermissions(c.permissions);
        const BackupKeyRead read = ReadBackupKey(path);
        if (c.error.isEmpty()) {
            EXPECT_EQ(read.key, QByteArray(32, '\xa5')) << c.what;
            EXPECT_TRUE(read.error.isEmpty()) << c.what;
        } else {
            EXPECT_TRUE(read.key.isEmpty()) << c.what;
            EXPECT_EQ(read.error, c.error.arg(path)) << c.what;
        }
    }
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(ReadBackupKey(fifo).error.isEmpty()) << "a FIFO is refused without waiting";
}

} // namespace
