#include "model/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using orinsub::model::FileReadProblem;
using orinsub::model::ReadRegularFile;

// Names a start may be handed: only a regular file of the size allowed is read, and nothing
// else makes the reader wait or read without end.
TEST(RegularFileTest, OnlyARegularFileWithinTheLimitIsRead)
{
    QTemporaryDir folder;
    const auto write = [&](const QString &name, qint64 size) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size)); // sparse
        return file.fileName();
    };
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString exact = write("exact", 100);
    const QString link = folder.filePath("link");
    ASSERT_TRUE(QFile::link(exact, link));
    const struct
    {
        QString path;
        FileReadProblem problem;
    } cases[] = {
        {exact, FileReadProblem::None},
        {link, FileReadProblem::None},
        {write("empty", 0), FileReadProblem::None},
        {write("over", 101), FileReadProblem::TooLarge},
        {write("huge", qint64(1) << 40), FileReadProblem::TooLarge},
        {fifo, FileReadProblem::NotAFile},
        {folder.path(), FileReadProblem::NotAFile},
        {"/dev/zero", FileReadProblem::NotAFile},
        {folder.filePath("none"), FileReadProblem::NotFound},
        {exact + "/inside", FileReadProblem::NotFound},
    };
    for (const auto &c : cases) {
        const auto read = ReadRegularFile(c.path, 100);
        EXPECT_EQ(read.problem, c.problem) << c.path.toStdString();
        EXPECT_EQ(read.bytes.size(),
                  c.problem == FileReadProblem::None ? QFileInfo(c.path).size() : 0)
            << c.path.toStdString();
        EXPECT_EQ(read.Reason().isEmpty(),
                  c.problem == FileReadProblem::None || c.problem == FileReadProblem::TooLarge)
            << c.path.toStdString();
    }
}

// A file the size check saw small may be longer by the time it is read (/proc's files say 0).
TEST(RegularFileTest, AFileLongerThanItsSizeSaidIsReadToItsEndOrRefused)
{
    const auto whole = ReadRegularFile("/proc/self/status", 1 << 20);
    ASSERT_TRUE(whole.IsOk());
    EXPECT_TRUE(whole.bytes.startsWith("Name:"));
    EXPECT_EQ(ReadRegularFile("/proc/self/status", 10).problem, FileReadProblem::TooLarge);
}

} // namespace
