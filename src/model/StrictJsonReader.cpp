#include "StrictJsonReader.h"

#include "JsonTexts.h"
#include "OneLine.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringDecoder>

namespace orinsub::model {

namespace {

// A show is three levels deep; anything much deeper is not one, and must not exhaust the stack.
constexpr int kMaxDepth = 16;

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int HexDigit(QChar c)
{
    if (IsDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

StrictJsonReader::Result StrictJsonReader::Parse(const QByteArray &utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(utf8);
    if (decoder.hasError())
        return {{}, texts::kNotUtf8.toString()};

    StrictJsonReader reader(std::move(text));
    QJsonValue value;
    reader.SkipSpace();
    if (reader.ParseValue(value, 0)) {
        reader.SkipSpace();
        if (reader.AtEnd())
            return {value, {}};
        reader.Fail(texts::kTrailingText);
    }
    return {{}, reader.m_error};
}

bool StrictJsonReader::ParseValue(QJsonValue &value, int depth)
{
    if (depth > kMaxDepth)
        return Fail(texts::kTooDeep);
    const QChar c = Peek();
    if (c == u'{')
        return ParseObject(value, depth + 1);
    if (c == u'[')
        return ParseArray(value, depth + 1);
    if (c == u'"') {
        QString text;
        if (!ParseString(text))
            return false;
        value = text;
        return true;
    }
    if (c == u'-' || IsDigit(c))
        return ParseNumber(value);
    return ParseWord(value);
}

bool StrictJsonReader::ParseObject(QJsonValue &value, int depth)
{
    ++m_pos; // {
    QJsonObject object;
    SkipSpace();
    if (Peek() == u'}') {
        ++m_pos;
        value = object;
        return true;
    }
    for (;;) {
        SkipSpace();
        const qsizetype keyAt = m_pos;
        QString key;
        if (Peek() != u'"')
            return Fail(texts::kExpectedKey);
        if (!ParseString(key))
            return false;
        if (object.contains(key)) {
            m_pos = keyAt;
            return Fail(texts::kDuplicateKey.toString().arg(OneLine(key)));
        }
        SkipSpace();
        if (!Expect(u':'))
            return false;
        SkipSpace();
        QJsonValue member;
        if (!ParseValue(member, depth))
            return false;
        object.insert(key, member);
        SkipSpace();
        if (Peek() == u'}') {
            ++m_pos;
            value = object;
            return true;
        }
        if (!Expect(u',', u'}'))
            return false;
    }
}

bool StrictJsonReader::ParseArray(QJsonValue &value, int depth)
{
    ++m_pos; // [
    QJsonArray array;
    SkipSpace();
    if (Peek() == u']') {
        ++m_pos;
        value = array;
        return true;
    }
    for (;;) {
        SkipSpace();
        QJsonValue element;
        if (!ParseValue(element, depth))
            return false;
        array.append(element);
        SkipSpace();
        if (Peek() == u']') {
            ++m_pos;
            value = array;
            return true;
        }
        if (!Expect(u',', u']'))
            return false;
    }
}

bool StrictJsonReader::ParseString(QString &text)
{
    ++m_pos; // "
    for (;;) {
        if (AtEnd())
            return Fail(texts::kUnterminatedString);
        const QChar c = m_text[m_pos];
        if (c == u'"') {
            ++m_pos;
            return true;
        }
        if (c.unicode() < 0x20)
            return Fail(texts::kControlInString);
        if (c != u'\\') {
            text += c;
            ++m_pos;
            continue;
        }
        ++m_pos;
        const QChar escape = Peek();
        static constexpr std::pair<char16_t, char16_t> kEscapes[] = {
            {u'"', u'"'},  {u'\\', u'\\'}, {u'/', u'/'},  {u'b', u'\b'},
            {u'f', u'\f'}, {u'n', u'\n'},  {u'r', u'\r'}, {u't', u'\t'}};
        bool simple = false;
        for (auto [name, unit] : kEscapes) {
            if (escape == name) {
                text += QChar(unit);
                simple = true;
            }
        }
        if (simple) {
            ++m_pos;
            continue;
        }
        if (escape != u'u')
            return Fail(texts::kBadEscape);
        char16_t unit = 0;
        for (int i = 1; i <= 4; ++i) {
            const int digit = m_pos + i < m_text.size() ? HexDigit(m_text[m_pos + i]) : -1;
            if (digit < 0)
                return Fail(texts::kBadEscape);
            unit = static_cast<char16_t>(unit * 16 + digit);
        }
        text += QChar(unit);
        m_pos += 5;
    }
}

bool StrictJsonReader::ParseNumber(QJsonValue &value)
{
    const qsizetype start = m_pos;
    if (Peek() == u'-')
        ++m_pos;
    if (!IsDigit(Peek()))
        return Fail(texts::kBadNumber);
    const bool leadingZero = Peek() == u'0';
    while (IsDigit(Peek()))
        ++m_pos;
    const QStringView digits = QStringView(m_text).mid(start, m_pos - start);
    if (leadingZero && digits.size() > (digits.startsWith(u'-') ? 2 : 1)) {
        m_pos = start;
        return Fail(texts::kBadNumber);
    }
    if (Peek() == u'.' || Peek() == u'e' || Peek() == u'E') {
        m_pos = start;
        return Fail(texts::kNotInteger);
    }
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok);
    if (!ok) {
        m_pos = start;
        return Fail(texts::kNumberTooLarge);
    }
    value = number;
    return true;
}

bool StrictJsonReader::ParseWord(QJsonValue &value)
{
    const QStringView rest = QStringView(m_text).mid(m_pos);
    for (auto [word, meaning] :
         {std::pair{u"true", QJsonValue(true)}, std::pair{u"false", QJsonValue(false)},
          std::pair{u"null", QJsonValue(QJsonValue::Null)}}) {
        if (rest.startsWith(QStringView(word))) {
            m_pos += QStringView(word).size();
            value = meaning;
            return true;
        }
    }
    return Fail(texts::kExpectedValue);
}

bool StrictJsonReader::Expect(QChar c, QChar orElse)
{
    if (Peek() == c) {
        ++m_pos;
        return true;
    }
    if (orElse.isNull())
        return Fail(texts::kExpectedChar.toString().arg(c));
    return Fail(texts::kExpectedEither.toString().arg(c).arg(orElse));
}

void StrictJsonReader::SkipSpace()
{
    while (!AtEnd()) {
        const QChar c = m_text[m_pos];
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return;
        ++m_pos;
    }
}

bool StrictJsonReader::Fail(QStringView what)
{
    const QStringView before = QStringView(m_text).left(m_pos);
    const qsizetype line = before.count(u'\n') + 1;
    const qsizetype column = m_pos - (before.lastIndexOf(u'\n') + 1) + 1;
    m_error = texts::kAtLineColumn.toString().arg(line).arg(column).arg(what);
    return false;
}

} // namespace orinsub::model
