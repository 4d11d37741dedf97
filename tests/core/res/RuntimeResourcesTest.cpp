#include "core/res/RuntimeResources.h"

#include <gtest/gtest.h>

using namespace velkan;

TEST(RuntimeResources, OverridesReplaceAndRemoveResources)
{
    OverrideRuntimeResource(500, std::vector<uint8_t>{1, 2, 3});
    EXPECT_EQ(LoadRuntimeResource(500), (std::vector<uint8_t>{1, 2, 3}));
    OverrideRuntimeResource(500, std::nullopt);
    EXPECT_FALSE(LoadRuntimeResource(500).has_value());
    ClearRuntimeResourceOverrides();
    EXPECT_FALSE(LoadRuntimeResource(499).has_value());
}
