#include <gtest/gtest.h>

#include <cmath>

#include "Chart3DGeometry.h"

namespace {

TEST(Chart3DGeometry, PlaceholderBuilds) {
  EXPECT_EQ(Chart3DLabelStride(10, 20), 3);
}

}  // namespace
