// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

// Unit tests need no display and no application object.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
