#pragma once

#include <QJsonValue>
#include <QString>

namespace orinsub::model {

/// Parses JSON strictly: UTF-8 only, no duplicate keys anywhere, numbers only as integers (every
/// number in a show or a mapping file is one), nesting at most a few levels deep. Strings keep
/// every UTF-16 unit that a \u escape gives, lone surrogates included, so a dump reads back
/// unchanged.
class StrictJsonReader
{
public:
    struct Result
    {
        QJsonValue value;
        QString error; // empty when value is valid; else "行 L、列 C: what"
    };

    static Result Parse(const QByteArray &utf8);

private:
    explicit StrictJsonReader(QString text) : m_text(std::move(text)) {}

    bool ParseValue(QJsonValue &value, int depth);
    bool ParseObject(QJsonValue &value, int depth);
    bool ParseArray(QJsonValue &value, int depth);
    bool ParseString(QString &text);
    bool ParseNumber(QJsonValue &value);
    bool ParseWord(QJsonValue &value);
    /// Takes c, or fails saying that c (or orElse, if given) was expected.
    bool Expect(QChar c, QChar orElse = {});
    void SkipSpace();
    bool AtEnd() const { return m_pos >= m_text.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : m_text[m_pos]; }
    bool Fail(QStringView what);

    QString m_text;
    qsizetype m_pos = 0;
    QString m_error;
};

} // namespace orinsub::model
