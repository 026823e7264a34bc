// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point every fuzz target defines, called by libFuzzer or by the replay driver.
#pragma once

#include <cstddef>
#include <cstdint>

// One input per call; returns 0 (libFuzzer reserves other values). A finding aborts the process.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
