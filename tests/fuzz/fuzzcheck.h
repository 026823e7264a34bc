// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' assertion: active in every build type (NDEBUG does not remove it) and fatal,
// so that libFuzzer saves the input and the replay driver fails.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace parvex {

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))

} // namespace parvex
