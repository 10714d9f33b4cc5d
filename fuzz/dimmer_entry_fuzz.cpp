// Whatever is typed into the DIM box, the selection holds each of 1..512 at most once, and the
// CH box names a real channel index; a huge number must not make the parse walk through it.
#include "patch/DimmerEntry.h"

#include <QString>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "dimmer entry: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The DIM box holds at most 32767 characters; the input is its text in UTF-8.
    if (size > 4 * 32767)
        return 0;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const orinsub::patch::DimmerEntry entry = orinsub::patch::ParseDimmerEntry(text);
    if (entry.selection.size() > 512)
        Fail("more than 512 dimmers selected");
    std::bitset<513> seen;
    for (int32_t d : entry.selection) {
        if (d < 1 || d > 512)
            Fail("a dimmer outside 1..512 selected");
        if (seen.test(d))
            Fail("a dimmer selected twice");
        seen.set(d);
    }
    const int target = orinsub::patch::PatchTargetIndex(text);
    if (target < 0 || target > 80)
        Fail("the CH box names no channel index");
    return 0;
}
