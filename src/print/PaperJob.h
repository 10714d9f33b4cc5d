#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace orinsub::print {

/// The sheets a show prints on, in the order they come out.
enum class Sheet : uint8_t { Cues, Patch, SubMasters };
inline constexpr std::array kAllSheets = {Sheet::Cues, Sheet::Patch, Sheet::SubMasters};

/// One print of a show: which sheets, and what heads every page.
struct PaperJob
{
    std::vector<Sheet> sheets{kAllSheets.begin(), kAllSheets.end()};
    QString showName;
    QDateTime printedAt;
};

} // namespace orinsub::print
