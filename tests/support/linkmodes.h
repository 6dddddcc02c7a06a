#pragma once

#include <gtest/gtest.h>
#include <string>

// The two ways a link moves words: in blocks, or one word a frame as with a
// controller that has no block commands. Names the parameterised cases.
inline std::string linkModeName(const ::testing::TestParamInfo<bool> &mode)
{
    return mode.param ? "Blocks" : "Words";
}
