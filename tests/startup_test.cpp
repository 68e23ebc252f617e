#include <gtest/gtest.h>

#include "app/startup.h"

TEST(FontSize, PlaceholderBuilds) { EXPECT_EQ(FontPointSize(864, 192.0f), 4); }
