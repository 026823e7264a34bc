// SPDX-License-Identifier: GPL-3.0-or-later
// Ranks lowered in the registry of this process only; nothing on disk changes.
#include "hiddenfactories.h"

namespace parvex {

HiddenFactories::HiddenFactories(GstElementFactoryListType type, const char* sinkCaps)
{
    GList* factories = gst_element_factory_list_get_elements(type, GST_RANK_MARGINAL);
    if (sinkCaps) {
        g_autoptr(GstCaps) caps = gst_caps_from_string(sinkCaps);
        GList* accepting = gst_element_factory_list_filter(factories, caps, GST_PAD_SINK, FALSE);
        gst_plugin_feature_list_free(factories);
        factories = accepting;
    }
    for (GList* item = factories; item; item = item->next) {
        auto* feature = GST_PLUGIN_FEATURE(item->data);
        m_ranks.emplace_back(FeaturePtr(GST_PLUGIN_FEATURE(gst_object_ref(feature))),
            gst_plugin_feature_get_rank(feature));
        gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
    }
    gst_plugin_feature_list_free(factories);
}

HiddenFactories::~HiddenFactories()
{
    for (const auto& [feature, rank] : m_ranks)
        gst_plugin_feature_set_rank(feature.get(), rank);
}

} // namespace parvex
