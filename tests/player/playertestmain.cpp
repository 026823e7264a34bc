// SPDX-License-Identifier: GPL-3.0-or-later
// main for the player tests: a Qt application for events and timers, GStreamer initialised once.
#include <QCoreApplication>

#include <gst/gst.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    gst_init(&argc, &argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Lets the leak checker see only what the tests themselves failed to release.
    gst_deinit();
    return result;
}
