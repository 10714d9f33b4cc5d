#include "SettingsReader.h"

#include "SettingsTexts.h"

#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <cstdio>

namespace orinsub::model {

namespace {

// Enough of a damaged value to recognise it; the rest may be megabytes.
constexpr qsizetype kShownValueLength = 40;

void ReportOnStandardError(const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stderr);
}

SettingsReader::Report &CurrentReport()
{
    static SettingsReader::Report report = ReportOnStandardError;
    return report;
}

QString Shown(const QVariant &value)
{
    QString text;
    switch (value.typeId()) {
    case QMetaType::QStringList:
        text = value.toStringList().join(QStringLiteral(", "));
        break;
    case QMetaType::QByteArray:
        text = texts::kSettingValueBytes.toString().arg(value.toByteArray().size());
        break;
    default:
        text = value.toString();
    }
    if (text.size() > kShownValueLength)
        text = text.left(kShownValueLength) + u'…';
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' '; // one line, whatever the file holds
    }
    return text;
}

bool IsText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

} // namespace

void SettingsReader::SetReport(Report report)
{
    CurrentReport() = report ? std::move(report) : Report(ReportOnStandardError);
}

void SettingsReader::Reject(const QString &key, const QVariant &value,
                            const QString &expected) const
{
    const QString group = m_settings.group();
    const QString fullKey = group.isEmpty() ? key : group + u'/' + key;
    CurrentReport()(texts::kSettingIgnored.toString().arg(fullKey, Shown(value), expected));
}

void SettingsReader::Reject(const QString &key, const QString &why) const
{
    Reject(key, m_settings.value(key), why);
}

int SettingsReader::Int(const QString &key, int minimum, int maximum, int fallback) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    // Wider than int: 2147483648 is out of range, not wrapped into it.
    const qlonglong number =
        IsText(value) ? value.toString().trimmed().toLongLong(&ok) : value.toLongLong(&ok);
    if (ok && number >= minimum && number <= maximum)
        return static_cast<int>(number);
    Reject(key, value, texts::kSettingInt.toString().arg(minimum).arg(maximum));
    return fallback;
}

bool SettingsReader::Bool(const QString &key, bool fallback) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = IsText(value) ? value.toString().trimmed().toLower() : QString();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    Reject(key, value, texts::kSettingBool.toString());
    return fallback;
}

QString SettingsReader::String(const QString &key, qsizetype maxLength,
                               const QString &fallback) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return fallback;
    // A line with an unquoted comma comes back as a list.
    if (IsText(value) && value.toString().size() <= maxLength)
        return value.toString();
    Reject(key, value, texts::kSettingString.toString().arg(maxLength));
    return fallback;
}

QByteArray SettingsReader::Bytes(const QString &key, qsizetype maxBytes) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QByteArray && value.toByteArray().size() <= maxBytes)
        return value.toByteArray();
    Reject(key, value, texts::kSettingBytes.toString().arg(maxBytes));
    return {};
}

QStringList SettingsReader::StringList(const QString &key, qsizetype maxCount,
                                       qsizetype maxLength) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return {};
    // The store writes a list of one as a plain string.
    const bool isList = value.typeId() == QMetaType::QStringList || IsText(value);
    const QStringList list = isList ? value.toStringList() : QStringList();
    const bool fits = isList && list.size() <= maxCount &&
                      std::all_of(list.begin(), list.end(),
                                  [&](const QString &entry) { return entry.size() <= maxLength; });
    if (fits)
        return list;
    Reject(key, value, texts::kSettingList.toString().arg(maxLength).arg(maxCount));
    return {};
}

QDateTime SettingsReader::DateTime(const QString &key) const
{
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    Reject(key, value, texts::kSettingDateTime.toString());
    return {};
}

int SettingsReader::ArraySize(const QString &array, int maxCount) const
{
    return Int(array + QStringLiteral("/size"), 0, maxCount, 0);
}

} // namespace orinsub::model
