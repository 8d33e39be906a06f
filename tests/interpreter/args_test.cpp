#include <gtest/gtest.h>

#include "interpreter/args.h"

TEST(GetArgs, Placeholder) { EXPECT_TRUE(true); }
