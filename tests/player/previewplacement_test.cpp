// SPDX-License-Identifier: GPL-3.0-or-later
// Full-screen video placement and the preview window's first rectangle.
#include "previewplacement.h"

#include <gtest/gtest.h>

namespace parvex {

namespace {

struct PlacementCase
{
    QSize screen;
    QSize video;
    QRect expected;
};

class FullScreenVideoRectTest : public testing::TestWithParam<PlacementCase>
{ };

TEST_P(FullScreenVideoRectTest, placesTenTimesTheNativeSize)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(FullScreenVideoRect(c.screen, c.video), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullScreenVideoRectTest,
    testing::Values(
        // 3200 x 2400 on 1024 x 768: equal scales take the full height, filling the screen.
        PlacementCase { { 1024, 768 }, { 320, 240 }, { 0, 0, 1024, 768 } },
        // 640 x 480 fits: centred.
        PlacementCase { { 1024, 768 }, { 64, 48 }, { 192, 144, 640, 480 } },
        // Centring halves toward zero.
        PlacementCase { { 1024, 768 }, { 65, 48 }, { 187, 144, 650, 480 } },
        // Only the width is too large: full width.
        PlacementCase { { 1024, 768 }, { 200, 50 }, { 0, 256, 1024, 256 } },
        // Only the height is too large: full height.
        PlacementCase { { 1024, 768 }, { 50, 100 }, { 320, 0, 384, 768 } },
        // Both too large, the width more so: full width.
        PlacementCase { { 1024, 768 }, { 400, 200 }, { 0, 128, 1024, 512 } },
        // Both too large, the height more so: full height.
        PlacementCase { { 1024, 768 }, { 200, 400 }, { 320, 0, 384, 768 } },
        // Single precision: 768 x 1.7777778f truncates to 1365, and (1366 - 1365) / 2 is 0.
        PlacementCase { { 1366, 768 }, { 1920, 1080 }, { 0, 0, 1366, 768 } }));

TEST(InitialPreviewRect, spansFromTheWorkAreaToTheDialogTop)
{
    EXPECT_EQ(
        InitialPreviewRect({ 0, 0, 1920, 1040 }, { 600, 500, 400, 300 }), QRect(100, 5, 560, 495));
    EXPECT_EQ(
        InitialPreviewRect({ 50, 20, 1000, 700 }, { 0, 320, 400, 300 }), QRect(150, 25, 293, 295));
}

TEST(InitialPreviewRect, keepsANegativeWidthWhenTheDialogIsNearTheTop)
{
    const QRect rect = InitialPreviewRect({ 0, 0, 1920, 1040 }, { 0, 50, 400, 300 });
    EXPECT_EQ(rect.left(), 100);
    EXPECT_EQ(rect.top(), 5);
    EXPECT_EQ(rect.width(), 60 - 100);
    EXPECT_EQ(rect.height(), 45);
}

} // namespace

} // namespace parvex
