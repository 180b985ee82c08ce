#include "app/system_identity.h"
#include "status/power_actions.h"
#include "sys/version_resource.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

OsVersionRecord Nt(uint32_t major, uint32_t minor, uint8_t productType = kProductWorkstation) {
    OsVersionRecord os;
    os.platformId = kPlatformNt;
    os.major = major;
    os.minor = minor;
    os.build = 7601;
    os.productType = productType;
    return os;
}

TEST(SystemIdentity, OsLabelNamesVersionsUpTo62ByProductType) {
    EXPECT_EQ(ComposeOsLabel(Nt(5, 1, 3), std::nullopt), " Windows XP 5.1.7601  x86");  // 5.x: one name
    EXPECT_EQ(ComposeOsLabel(Nt(6, 0), std::nullopt), " Windows Vista 6.0.7601  x86");
    EXPECT_EQ(ComposeOsLabel(Nt(6, 1, 2), std::nullopt), " Windows Server 2008 R2 6.1.7601  x86");
    EXPECT_EQ(ComposeOsLabel(Nt(6, 2, 3), std::nullopt), " Windows Server 8 6.2.7601  x86");
    EXPECT_EQ(ComposeOsLabel(Nt(6, 3), std::nullopt), " 6.3.7601  x86");
    EXPECT_EQ(ComposeOsLabel(Nt(10, 0), std::nullopt), " 10.0.7601  x86");
}

TEST(SystemIdentity, OsLabelCarriesServicePackAndArchitecture) {
    OsVersionRecord os = Nt(6, 1);
    os.servicePack = "Service Pack 1";
    EXPECT_EQ(ComposeOsLabel(os, kProcessorArchitectureAmd64), " Windows 7 6.1.7601 Service Pack 1 x64");
    EXPECT_EQ(ComposeOsLabel(os, std::nullopt), " Windows 7 6.1.7601 Service Pack 1 x86");
    EXPECT_EQ(ComposeOsLabel(os, uint16_t{0}), " Windows 7 6.1.7601 Service Pack 1 x86");
    os.platformId = 1;  // not NT: no name
    EXPECT_EQ(ComposeOsLabel(os, std::nullopt), " 6.1.7601 Service Pack 1 x86");
}

TEST(SystemIdentity, OnlyNtFromMajorVersionFiveRuns) {
    EXPECT_TRUE(MeetsSystemRequirement(Nt(5, 0)));
    EXPECT_TRUE(MeetsSystemRequirement(Nt(10, 0)));
    EXPECT_FALSE(MeetsSystemRequirement(Nt(4, 0)));
    EXPECT_FALSE(MeetsSystemRequirement(OsVersionRecord{}));  // the version query was missing
    EXPECT_TRUE(ForceOptionsSupported(5));
    EXPECT_FALSE(ForceOptionsSupported(6));
}

TEST(SystemIdentity, VersionSubBlockUsesEightUpperCaseHexDigits) {
    EXPECT_EQ(VersionStringSubBlock(0x0409, 0x04b0, "FileVersion"), "\\StringFileInfo\\040904B0\\FileVersion");
}

}  // namespace
}  // namespace velt
