#include <gtest/gtest.h>

#include "astro/Clsmjd.h"

TEST(Mjd, Placeholder) { EXPECT_DOUBLE_EQ(TMjd::JULIAN(2000, 1, 1.0, 0.0, 0), 51544.0); }
