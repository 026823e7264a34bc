// SPDX-License-Identifier: GPL-3.0-or-later
// Initialises GStreamer once for every test of the executable this file is linked into.
#include <gst/gst.h>

#include <gtest/gtest.h>

namespace parvex {

namespace {

class GstTestEnvironment : public testing::Environment
{
public:
    void SetUp() override { gst_init(nullptr, nullptr); }
};

[[maybe_unused]] testing::Environment* const registered
    = testing::AddGlobalTestEnvironment(new GstTestEnvironment);

} // namespace

} // namespace parvex
