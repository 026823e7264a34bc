// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring tools of the split benchmark: source files, timed runs, the cp reference, peak memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

// Writes `size` bytes of pseudo-random data (incompressible, so no filesystem shortcut applies).
void WriteRandomFile(const std::filesystem::path& path, std::int64_t size);

// Copies bytes [start, start + length) of `source` to `path`.
void WriteSlice(const std::filesystem::path& source, std::int64_t start, std::int64_t length,
    const std::filesystem::path& path);

// Reads the whole file once, so that the runs find it in the page cache.
void WarmPageCache(const std::filesystem::path& path);

// Runs `cp --reflink=never from to`; false when cp did not succeed.
bool RunCp(const std::filesystem::path& from, const std::filesystem::path& to);

// Wall time of `run`, after `prepare` (untimed) and a sync so that no earlier dirty page is
// written back inside the measurement.
std::chrono::duration<double, std::milli> TimeOnce(
    const std::function<void()>& prepare, const std::function<void()>& run);

double Median(std::vector<double> values);

// How far peak resident memory rises above what the process holds now while `body` runs, in
// bytes (VmHWM reset through /proc/self/clear_refs); nullopt when the system cannot tell. Run it
// in a fresh process: memory an earlier run left in the heap would hide the rise.
std::optional<std::int64_t> PeakMemoryRise(const std::function<void()>& body);

// Runs this program again with `arguments` and reads one number from its output.
std::optional<std::int64_t> RunSelfForNumber(const std::vector<std::string>& arguments);

} // namespace parvex
