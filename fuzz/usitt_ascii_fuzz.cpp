#include "ModelChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string broken = orinsub::fuzz::CheckUsittAscii({data, size});
    if (!broken.empty()) {
        std::fprintf(stderr, "USITT ASCII: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
