#include "assets/Manifest.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;

TEST(ValidateJson, EmptyKeyListAcceptsAnything)
{
    std::string err = captureStderr(
        []
        {
            EXPECT_TRUE(validateJson(nullptr, {}));
            EXPECT_TRUE(validateJson(nlohmann::json::array(), {}));
        });
    EXPECT_EQ(err, "");
}
