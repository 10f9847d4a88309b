#include "settings/AppInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(AppInfo, VersionTextHasAlwaysFourNumbers)
{
    EXPECT_EQ(VersionText({1, 0, 2, 0}), "1.0.2.0");
    EXPECT_EQ(VersionText({65535, 0, 0, 7}), "65535.0.0.7");
}

TEST(AppInfo, DescribesTheProgram)
{
    const CAppInfo& info = TheAppInfo();
    EXPECT_EQ(info.companyName, "Brackwater");
    EXPECT_EQ(info.productName, "Quorvane");
    EXPECT_EQ(info.displayName, "Quorvane");
    EXPECT_EQ(info.legalNotice, "Copyright (C) 2026 Brackwater");
    EXPECT_EQ(info.VersionText(), QV_VERSION_TEXT);
    EXPECT_EQ(info.NameLine(), std::string("Quorvane  ") + QV_VERSION_TEXT);
    EXPECT_EQ(info.homePageUrl.rfind("file://", 0), 0u) << info.homePageUrl;
    EXPECT_TRUE(info.homePageUrl.ends_with("/home.html")) << info.homePageUrl;

    InitAppInfo();
    EXPECT_EQ(&TheAppInfo(), &info);
}

}  // namespace
