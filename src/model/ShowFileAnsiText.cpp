#include "ShowFileAnsiText.h"

#include <QtEndian>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace orinsub::model {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

/// One iconv conversion from code page 932 to UTF-16LE, closed on destruction.
class Cp932Converter
{
public:
    Cp932Converter() : m_cd(iconv_open("UTF-16LE", "CP932")) {}
    ~Cp932Converter()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    Cp932Converter(const Cp932Converter &) = delete;
    Cp932Converter &operator=(const Cp932Converter &) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    /// Converts as much as it can; returns false at a byte sequence it cannot convert, with
    /// in and out advanced past what it did convert.
    bool Convert(const char *&in, size_t &inLeft, char *&out, size_t &outLeft)
    {
        char *src = const_cast<char *>(in);
        const size_t result = iconv(m_cd, &src, &inLeft, &out, &outLeft);
        in = src;
        return result != static_cast<size_t>(-1);
    }

private:
    iconv_t m_cd;
};

/// What Windows makes of a byte that iconv refuses: the single bytes 0x80, 0xA0 and 0xFD to
/// 0xFF have code points of their own there, so that such names survive being saved again.
char16_t UnconvertedByte(uint8_t byte)
{
    switch (byte) {
    case 0x80:
        return u'\u0080';
    case 0xA0:
        return u'\uF8F0';
    case 0xFD:
    case 0xFE:
    case 0xFF:
        return static_cast<char16_t>(u'\uF8F1' + (byte - 0xFD));
    default:
        return kReplacement;
    }
}

// Without the converter (no gconv modules installed) ASCII still reads correctly.
QString DecodeAsciiOnly(std::span<const uint8_t> bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (size_t i = 0; i < bytes.size(); ++i)
        text[i] = bytes[i] < 0x80 ? QChar(bytes[i]) : QChar(UnconvertedByte(bytes[i]));
    return text;
}

} // namespace

QString DecodeCodePage932(std::span<const uint8_t> bytes)
{
    Cp932Converter converter;
    if (!converter.IsOpen())
        return DecodeAsciiOnly(bytes);

    // Code page 932 never yields more UTF-16 units than bytes, replacements included.
    std::vector<char16_t> units(bytes.size());
    const char *in = reinterpret_cast<const char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *out = reinterpret_cast<char *>(units.data());
    size_t outLeft = units.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (converter.Convert(in, inLeft, out, outLeft))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // E2BIG cannot happen with the buffer sized above; stop rather than loop
        // A byte iconv does not know, or an invalid or cut-off sequence: one character for
        // its first byte, then go on.
        const char16_t unit = UnconvertedByte(static_cast<uint8_t>(*in));
        *out++ = static_cast<char>(unit & 0xFF); // little-endian, as converted
        *out++ = static_cast<char>(unit >> 8);
        outLeft -= sizeof(char16_t);
        ++in;
        --inLeft;
    }
    const auto produced = static_cast<qsizetype>(units.size() - outLeft / sizeof(char16_t));
    QString text(produced, Qt::Uninitialized);
    if (produced > 0)
        qFromLittleEndian<char16_t>(units.data(), produced, text.data());
    return text;
}

} // namespace orinsub::model
