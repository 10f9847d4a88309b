#include "common/WebAddress.h"

#include <gtest/gtest.h>

TEST(WebAddress, AHostAndPortTypedWithoutASchemeIsTold)
{
    for (const char* typed : {"localhost:8080", "LocalHost:80/map", "map.example.org:8443/tiles?z=3",
                              "127.0.0.1:8000", "example.org:1#top"})
        EXPECT_TRUE(IsHostAndPort(typed)) << typed;
    // URLs with a scheme, hosts without a port, and ports that are none.
    for (const char* typed : {"https://example.org:8080", "tel:12345", "mailto:a@example.org", "example.org",
                              "localhost", "localhost:", "localhost:123456", "example.org:80x", ":8080",
                              "exa mple.org:80", "file:///tmp/a"})
        EXPECT_FALSE(IsHostAndPort(typed)) << typed;
}

TEST(WebAddress, ThisMachineIsReachedOverHttpAndOtherHostsOverHttps)
{
    for (const char* typed : {"localhost", "LOCALHOST:8080/map", "127.0.0.1:8000", "192.168.1.20/x"})
        EXPECT_EQ(SchemeForTypedHost(typed), "http://") << typed;
    for (const char* typed : {"example.org", "map.example.org:8443/tiles", "localhost.example.org"})
        EXPECT_EQ(SchemeForTypedHost(typed), "https://") << typed;
}
