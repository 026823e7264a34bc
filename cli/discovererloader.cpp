// SPDX-License-Identifier: GPL-3.0-or-later
// dlopen of the discoverer module: parvex-cli itself links no GStreamer.
#include "discovererloader.h"

#include "discoverermodule.h"

#include <dlfcn.h>

namespace parvex {

namespace {

// Loaded once and kept for the life of the process: GStreamer cannot be unloaded.
DiscovererModuleEntry loadEntry()
{
    void* module = dlopen(kDiscovererModuleFile, RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    return reinterpret_cast<DiscovererModuleEntry>(dlsym(module, kDiscovererModuleSymbol));
}

} // namespace

std::optional<std::int64_t> DiscoverWithModule(const std::string& path)
{
    static const DiscovererModuleEntry entry = loadEntry();
    std::int64_t mediaTime = 0;
    if (!entry || !entry(path.c_str(), &mediaTime))
        return std::nullopt;
    return mediaTime;
}

} // namespace parvex
