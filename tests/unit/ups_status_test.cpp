#include "status/ups_status.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

const LocalDateTime kWhen{2026, 12, 7, 10, 0, 1, 0};

std::optional<TUPSStatus> Parse(const std::string& reply, char sep = '.') {
    return ParseStatusReply(reply, kWhen, true, sep);
}

TEST(ParseStatusReply, ConformingReply) {
    const auto st = Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 00001001#");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->FailedField, 0);
    EXPECT_EQ(st->FieldsCut, 8);
    EXPECT_DOUBLE_EQ(st->IPVoltageValue, 230.0);
    EXPECT_DOUBLE_EQ(st->OPVoltageValue, 229.0);
    EXPECT_DOUBLE_EQ(st->BatteryVoltageValue, 13.6);
    EXPECT_EQ(st->OPCurrent, "013");
    EXPECT_EQ(st->IPFrequency, "50.0");
    EXPECT_EQ(st->Temperature, "25.0");
    EXPECT_EQ(st->UPSStatus, "00001001");
    EXPECT_TRUE(st->StandbyUPS);
    EXPECT_TRUE(st->BeeperOn);
    EXPECT_FALSE(st->PowerFail || st->BatteryLow || st->AVR || st->UPSFailed || st->TestInProgress ||
                 st->ShutdownActive);
    EXPECT_EQ(st->ReplyText, "(230.0 230.0 229.0 013 50.0 13.60 25.0 00001001#");
    EXPECT_EQ(st->ReplyTime, kWhen);
}

TEST(ParseStatusReply, CommaInAFieldReadsUnderEitherLocale) {
    for (char sep : {'.', ','}) {
        const auto st = Parse("(230,0 230.0 229.0 013 50.0 13.60 25.0 00001001#", sep);
        ASSERT_TRUE(st);
        EXPECT_DOUBLE_EQ(st->IPVoltageValue, 230.0) << sep;
        EXPECT_DOUBLE_EQ(st->BatteryVoltageValue, 13.6) << sep;
    }
}

TEST(ParseStatusReply, NothingToParse) {
    EXPECT_FALSE(Parse(""));
    EXPECT_FALSE(Parse("Q1#"));
    EXPECT_FALSE(Parse("#MEGATEC"));
    EXPECT_FALSE(ParseStatusReply("(230.0 230.0 229.0 013 50.0 13.60 25.0 00001001#", kWhen, false));
}

TEST(ParseStatusReply, ConversionFailureStopsTheSplit) {
    const auto st = Parse("(230.0 230.0 ---.- 013 50.0 13.60 25.0 10000000#");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->FailedField, 3);
    EXPECT_EQ(st->FieldsCut, 3);
    EXPECT_EQ(st->OPVoltage, "---.-");
    EXPECT_EQ(st->OPCurrent, "");
    EXPECT_FALSE(st->PowerFail);  // no flag is evaluated

    const auto first = Parse("(abc 230.0 229.0 013 50.0 13.60 25.0 00000000#");
    EXPECT_EQ(first->FailedField, 1);
    const auto sixth = Parse("(230.0 230.0 229.0 013 50.0 xx 25.0 00000000#");
    EXPECT_EQ(sixth->FailedField, 6);
    EXPECT_EQ(sixth->IPFrequency, "50.0");
}

TEST(ParseStatusReply, StatusCharactersByPosition) {
    auto st = Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 1000000#");
    EXPECT_TRUE(st->PowerFail);
    EXPECT_FALSE(st->BeeperOn);  // past the end counts as clear
    st = Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 21111112#");
    EXPECT_FALSE(st->PowerFail);
    EXPECT_TRUE(st->BatteryLow && st->AVR && st->UPSFailed && st->StandbyUPS && st->TestInProgress &&
                st->ShutdownActive);
    EXPECT_FALSE(st->BeeperOn);
}

TEST(ParseStatusReply, FieldBoundaries) {
    auto st = Parse("(230.0  230.0 229.0 013 50.0 13.60 25.0 00000000#");
    EXPECT_EQ(st->IPFaultVoltage, " 230.0");  // two blanks: the next field starts with one
    st = Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 00000001");
    EXPECT_EQ(st->UPSStatus, "00000001");  // no "#": the text's end ends the field
    EXPECT_TRUE(st->BeeperOn);
    st = Parse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001");
    EXPECT_EQ(st->FailedField, 0);
    EXPECT_TRUE(st->StandbyUPS);
    st = Parse("(230.0 1#");
    EXPECT_EQ(st->FieldsCut, 2);
    EXPECT_EQ(st->IPFaultVoltage, "1");
    EXPECT_EQ(st->OPVoltage, "");
    st = Parse("(");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->FieldsCut, 0);
}

TEST(ParseStatusReply, NeverReadsPastTheEndOfLongOrOddReplies) {
    for (const std::string& r : {std::string("(") + std::string(254, ' '), std::string("(#######"),
                                 std::string(255, '('), std::string("( ( ( ( ( ( ( ( ( (")}) {
        EXPECT_NO_THROW(Parse(r));
    }
}

TEST(UPSStrToFloat, AcceptedAndRefusedForms) {
    for (char sep : {'.', ','}) {
        EXPECT_DOUBLE_EQ(*UPSStrToFloat("230.0", sep), 230.0);
        EXPECT_DOUBLE_EQ(*UPSStrToFloat("230,0", sep), 230.0);
        EXPECT_DOUBLE_EQ(*UPSStrToFloat("  230.0 \t", sep), 230.0);
        EXPECT_DOUBLE_EQ(*UPSStrToFloat("-1.5E2", sep), -150.0);
        EXPECT_DOUBLE_EQ(*UPSStrToFloat("+013", sep), 13.0);
        EXPECT_FALSE(UPSStrToFloat("1,234.5", sep));
        EXPECT_FALSE(UPSStrToFloat("", sep));
        EXPECT_FALSE(UPSStrToFloat("   ", sep));
        EXPECT_FALSE(UPSStrToFloat("---.-", sep));
        EXPECT_FALSE(UPSStrToFloat("12a", sep));
        EXPECT_FALSE(UPSStrToFloat("1e", sep));
        EXPECT_FALSE(UPSStrToFloat(".", sep));
        EXPECT_FALSE(UPSStrToFloat("1 2", sep));
    }
    EXPECT_DOUBLE_EQ(*UPSStrToFloat(std::string("\0" "11.0\x1f", 6)), 11.0);
}

TEST(DecimalInteger, WholeNumbersOfAnEditFieldWithin32Bits) {
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"8080", 8080}, {" 80 ", 80}, {"+443", 443}, {"-1", -1}, {"0065535", 65535},
        {"2147483647", 2147483647}, {"-2147483648", -2147483648LL}, {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {"80a", std::nullopt}, {"8 0", std::nullopt}, {"0x50", std::nullopt}, {"80.0", std::nullopt}};
    for (const auto& [text, value] : cases) EXPECT_EQ(DecimalInteger(text), value) << text;
}

}  // namespace
}  // namespace velt
