#include "app/system_identity.h"

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

TEST(SystemIdentity, OsLabelNamesTheKnownVersionsByProductType) {
    const struct {
        uint32_t major, minor;
        uint8_t product;
        const char* name;
    } cases[] = {
        {5, 0, 1, " Windows 2000"},  {5, 1, 3, " Windows XP"},      {5, 2, 1, " Windows 2003"},
        {6, 0, 1, " Windows Vista"}, {6, 0, 3, " Windows Server 2008"}, {6, 1, 1, " Windows 7"},
        {6, 1, 2, " Windows Server 2008 R2"}, {6, 2, 1, " Windows 8"}, {6, 2, 3, " Windows Server 8"},
        {6, 3, 1, ""},               {10, 0, 1, ""},
    };
    for (const auto& c : cases) {
        const std::string numbers = " " + std::to_string(c.major) + "." + std::to_string(c.minor) + ".7601 ";
        EXPECT_EQ(ComposeOsLabel(Nt(c.major, c.minor, c.product), kProcessorArchitectureAmd64),
                  c.name + numbers + " x64")
            << c.major << "." << c.minor;
    }
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
