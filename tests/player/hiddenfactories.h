// SPDX-License-Identifier: GPL-3.0-or-later
// Element factories hidden from autoplugging while a test runs, as if not installed.
#pragma once

#include "gstptr.h"

#include <gst/gst.h>

#include <memory>
#include <utility>
#include <vector>

namespace parvex {

// Gives every factory of `type` with an autoplugging rank, and with a sink pad that accepts
// `sinkCaps` when given, the rank NONE; the destructor gives the ranks back. playbin,
// decodebin and autoaudiosink then pass these factories by; they can still be made by name.
class HiddenFactories
{
public:
    explicit HiddenFactories(GstElementFactoryListType type, const char* sinkCaps = nullptr);
    ~HiddenFactories();
    HiddenFactories(const HiddenFactories&) = delete;
    HiddenFactories& operator=(const HiddenFactories&) = delete;

    bool empty() const { return m_ranks.empty(); }

private:
    using FeaturePtr = std::unique_ptr<GstPluginFeature, GstObjectUnref>;
    std::vector<std::pair<FeaturePtr, guint>> m_ranks; // each factory with its former rank
};

} // namespace parvex
