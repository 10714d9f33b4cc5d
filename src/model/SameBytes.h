#pragma once

#include <QByteArray>

namespace orinsub::model {

/// Compares two secrets (a MAC, a token) in a time that does not tell where they first differ.
inline bool SameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace orinsub::model
