#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class QSettings;
class QVariant;

namespace orinsub::model {

/// Reads the settings store, whose file anyone may edit or damage, within bounds: a value out
/// of its range or of another kind is ignored with one line on standard error and the default
/// is used, so that no line of it can make the console loop, allocate without end or lay the
/// desk out wrong. A missing value is the default without a word.
class SettingsReader
{
public:
    /// Where the lines go: standard error unless a test says otherwise (null: back to it).
    using Report = std::function<void(const QString &line)>;
    static void SetReport(Report report);

    /// settings: the store, in the group the keys are relative to.
    explicit SettingsReader(QSettings &settings) : m_settings(settings) {}

    int Int(const QString &key, int minimum, int maximum, int fallback) const;
    /// "true" or "false" (as the store writes them), 1 or 0.
    bool Bool(const QString &key, bool fallback) const;
    QString String(const QString &key, qsizetype maxLength, const QString &fallback = {}) const;
    QByteArray Bytes(const QString &key, qsizetype maxBytes) const;
    /// At most maxCount strings of at most maxLength each.
    QStringList StringList(const QString &key, qsizetype maxCount, qsizetype maxLength) const;
    QDateTime DateTime(const QString &key) const;
    /// How many entries the array (as QSettings::beginWriteArray wrote it) holds, at most
    /// maxCount; read it before beginReadArray, whose own count is not checked.
    int ArraySize(const QString &array, int maxCount) const;

    /// Reports a value the caller found unusable (a value that does not parse), as above.
    void Reject(const QString &key, const QString &why) const;

private:
    void Reject(const QString &key, const QVariant &value, const QString &expected) const;

    QSettings &m_settings;
};

} // namespace orinsub::model
