#include "model/SettingsReader.h"
#include "support/TempFiles.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

using orinsub::model::SettingsReader;

// The settings file as an operator's editor or a damaged disk may leave it.
class SettingsReaderTest : public ::testing::Test
{
protected:
    SettingsReaderTest()
    {
        SettingsReader::SetReport([this](const QString &line) { lines << line; });
    }
    ~SettingsReaderTest() override { SettingsReader::SetReport(nullptr); }

    /// A store whose group [G] holds line.
    std::unique_ptr<QSettings> Store(const QByteArray &line)
    {
        const QString path = folder.filePath("OrinSUB.conf");
        EXPECT_TRUE(orinsub::testing::WriteFile(path, "[G]\n" + line + "\n"));
        auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        settings->beginGroup("G");
        return settings;
    }

    QTemporaryDir folder;
    QStringList lines;
};

TEST_F(SettingsReaderTest, ValuesOutOfRangeOrOfAnotherKindGiveTheDefaultAndOneLine)
{
    using Read = std::function<QVariant(const SettingsReader &)>;
    const Read number = [](const SettingsReader &r) { return r.Int("k", 0, 100, 7); };
    const Read flag = [](const SettingsReader &r) { return r.Bool("k", true); };
    const Read text = [](const SettingsReader &r) { return r.String("k", 10, "d"); };
    const Read bytes = [](const SettingsReader &r) { return r.Bytes("k", 4); };
    const Read list = [](const SettingsReader &r) { return r.StringList("k", 2, 3); };
    const Read time = [](const SettingsReader &r) { return r.DateTime("k"); };
    const Read array = [](const SettingsReader &r) { return r.ArraySize("k", 256); };
    const struct
    {
        QByteArray line;
        Read read;
        QVariant expected;
        bool reported;
    } cases[] = {
        {"k=12", number, 12, false},
        {"k= 100", number, 100, false},
        {"other=1", number, 7, false},
        {"k=101", number, 7, true},
        {"k=-1", number, 7, true},
        {"k=2147483647", number, 7, true},
        {"k=99999999999999999999", number, 7, true},
        {"k=twelve", number, 7, true},
        {"k=", number, 7, true},
        {"k=1, 2", number, 7, true},
        {"k=false", flag, false, false},
        {"k=TRUE", flag, true, false},
        {"k=0", flag, false, false},
        {"k=maybe", flag, true, true},
        {"k=console", text, "console", false},
        {"k=\"a,b\"", text, "a,b", false},
        {"k=a,b", text, "d", true},
        {"k=" + QByteArray(11, 'x'), text, "d", true},
        {"k=\\n" + QByteArray(100000, 'x'), text, "d", true},
        {"k=@ByteArray(abcd)", bytes, QByteArray("abcd"), false},
        {"k=@ByteArray(abcde)", bytes, QByteArray(), true},
        {"k=abcd", bytes, QByteArray(), true},
        {"k=abc, d", list, QStringList{"abc", "d"}, false},
        {"k=abc", list, QStringList{"abc"}, false},
        {"k=a, b, c", list, QStringList(), true},
        {"k=abcd", list, QStringList(), true},
        {"k=yesterday", time, QDateTime(), true},
        {"k\\size=256", array, 256, false},
        {"k\\size=2147483647", array, 0, true},
    };
    for (const auto &c : cases) {
        lines.clear();
        const std::unique_ptr<QSettings> store = Store(c.line);
        EXPECT_EQ(c.read(SettingsReader(*store)), c.expected) << c.line.constData();
        ASSERT_EQ(lines.size(), c.reported ? 1 : 0) << c.line.constData();
        if (c.reported) { // one short line, whatever the file holds
            EXPECT_TRUE(lines[0].startsWith("orinsub: ") && lines[0].contains("G/k") &&
                        lines[0].size() < 200 && !lines[0].contains('\n'))
                << lines[0].toStdString();
        }
    }
}

TEST_F(SettingsReaderTest, WhatTheStoreWritesReadsBack)
{
    const QDateTime paired(QDate(2024, 5, 1), QTime(19, 30));
    {
        QSettings store(folder.filePath("written.conf"), QSettings::IniFormat);
        store.setValue("number", 42);
        store.setValue("flag", false);
        store.setValue("bytes", QByteArray("\x01\x02", 2));
        store.setValue("list", QStringList{"127.0.0.1:9000"});
        store.setValue("time", paired);
        store.beginWriteArray("devices", 3);
        store.endArray();
    }
    QSettings store(folder.filePath("written.conf"), QSettings::IniFormat);
    const SettingsReader read(store);
    EXPECT_EQ(read.Int("number", 0, 100, 0), 42);
    EXPECT_FALSE(read.Bool("flag", true));
    EXPECT_EQ(read.Bytes("bytes", 2), QByteArray("\x01\x02", 2));
    EXPECT_EQ(read.StringList("list", 1, 20), QStringList{"127.0.0.1:9000"});
    EXPECT_EQ(read.DateTime("time"), paired);
    EXPECT_EQ(read.ArraySize("devices", 3), 3);
    EXPECT_TRUE(lines.isEmpty()) << lines.join('\n').toStdString();
}

} // namespace
