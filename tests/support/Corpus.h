#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace orinsub::testing {

/// The bytes as the readers and the fuzzers' checks take them.
inline std::span<const uint8_t> AsBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()),
            static_cast<size_t>(bytes.size())};
}

/// The kept inputs of a fuzzer's corpus folder, by name; one that cannot be read fails the test.
inline std::vector<std::pair<QString, QByteArray>> ReadCorpus(const QString &folder)
{
    const QDir dir(folder);
    std::vector<std::pair<QString, QByteArray>> inputs;
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile input(dir.filePath(name));
        EXPECT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        inputs.emplace_back(name, input.readAll());
    }
    return inputs;
}

} // namespace orinsub::testing
