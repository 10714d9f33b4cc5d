#include "BackupKey.h"

#include "BackupTexts.h"
#include "model/RegularFile.h"

#include <QDir>
#include <QFileInfo>

namespace orinsub::backup {

namespace {

// Far more than a key needs; a larger file is no key file.
constexpr qint64 kMaxKeyFileBytes = 4096;

} // namespace

BackupKeyRead ReadBackupKey(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const model::RegularFileRead file = model::ReadRegularFile(path, kMaxKeyFileBytes);
    if (!file.IsOk())
        return {
            {},
            kKeyUnreadable.arg(shown, file.Reason().isEmpty() ? kRefusedTooLarge : file.Reason())};
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    if (QFileInfo(path).permissions() & others)
        return {{}, kKeyTooOpen.arg(shown)};
    QByteArray digits = file.bytes.simplified();
    digits.replace(' ', "");
    const bool hex = !digits.isEmpty() && digits.size() % 2 == 0 &&
                     std::all_of(digits.begin(), digits.end(), [](char c) {
                         return std::isxdigit(static_cast<unsigned char>(c));
                     });
    if (!hex)
        return {{}, kKeyNotHex.arg(shown)};
    const QByteArray key = QByteArray::fromHex(digits);
    if (key.size() < kMinKeyBytes)
        return {{}, kKeyTooShort.arg(shown)};
    return {key, {}};
}

} // namespace orinsub::backup
