// SPDX-License-Identifier: GPL-3.0-or-later
// Owning smart pointers for GStreamer and GLib objects, for members that g_autoptr cannot be.
#pragma once

#include <gst/gst.h>

#include <memory>

namespace parvex {

struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};

struct GstMessageUnref
{
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};

// Each holds one owned reference: construct them only from a reference that is yours (a
// "transfer full" result, or after gst_object_ref / g_object_ref_sink).
using GstElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using GstBusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;

} // namespace parvex
