#include "net/base64.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(Base64, RoundTripsTheTestVectorsAndEveryByte) {
    // RFC 4648's vectors cover every padding length.
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"user:pa ss", "dXNlcjpwYSBzcw=="}};
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64Encode(plain), encoded);
        EXPECT_EQ(Base64Decode(encoded), plain);
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Base64, RefusesWhatIsNotBase64) {
    for (const char* bad : {"Zg=", "Zm9v!A==", "Zg==Zg==", "Z===", "=Zg=", "Zm 9v", "Zm9v\n"})
        EXPECT_EQ(Base64Decode(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace velt
