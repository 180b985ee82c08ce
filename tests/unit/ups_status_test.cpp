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
    EXPECT_DOUBLE_EQ(st->IPVoltage.value.value_or(0), 230.0);
    EXPECT_DOUBLE_EQ(st->OPVoltage.value.value_or(0), 229.0);
    EXPECT_DOUBLE_EQ(st->BatteryVoltage.value.value_or(0), 13.6);
    EXPECT_EQ(st->OPCurrent.text, "013");
    EXPECT_EQ(st->IPFrequency.text, "50.0");
    EXPECT_EQ(st->Temperature.text, "25.0");
    EXPECT_EQ(st->UPSStatus.text, "00001001");
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
        EXPECT_DOUBLE_EQ(st->IPVoltage.value.value_or(0), 230.0) << sep;
        EXPECT_DOUBLE_EQ(st->BatteryVoltage.value.value_or(0), 13.6) << sep;
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
    EXPECT_EQ(st->OPVoltage.text, "---.-");
    EXPECT_EQ(st->OPCurrent.text, "");
    EXPECT_FALSE(st->PowerFail);  // no flag is evaluated

    const auto first = Parse("(abc 230.0 229.0 013 50.0 13.60 25.0 00000000#");
    EXPECT_EQ(first->FailedField, 1);
    const auto sixth = Parse("(230.0 230.0 229.0 013 50.0 xx 25.0 00000000#");
    EXPECT_EQ(sixth->FailedField, 6);
    EXPECT_EQ(sixth->IPFrequency.text, "50.0");
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
    EXPECT_EQ(st->IPFaultVoltage.text, " 230.0");  // two blanks: the next field starts with one
    st = Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 00000001");
    EXPECT_EQ(st->UPSStatus.text, "00000001");  // no "#": the text's end ends the field
    EXPECT_TRUE(st->BeeperOn);
    st = Parse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001");
    EXPECT_EQ(st->FailedField, 0);
    EXPECT_TRUE(st->StandbyUPS);
    st = Parse("(230.0 1#");
    EXPECT_EQ(st->FieldsCut, 2);
    EXPECT_EQ(st->IPFaultVoltage.text, "1");
    EXPECT_EQ(st->OPVoltage.text, "");
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

// Field 6 as the whole pack: a per-cell value is counted up by the nominal
// voltage once, at the parse; 0 is no voltage; a failed field none.
TEST(ParseStatusReply, BatteryPackVoltageFromFieldSixAndTheNominalVoltage) {
    struct Case {
        const char* battery;
        double nominal;
        PackVoltage pack;
    };
    const Case cases[] = {
        {"13.60", 12, {13.6, 1}}, {"2.27", 12, {2.27 * 6, 6}},   {"2.25", 24, {27.0, 12}},
        {"2.25", 36, {40.5, 18}}, {"2.27", 6, {2.27, 1}},        {"3.00", 48, {3.0, 1}},
        {"0.00", 24, {}},         {"xx", 24, {}},
    };
    for (const Case& c : cases) {
        const auto st = ParseStatusReply(std::string("(230.0 230.0 229.0 013 50.0 ") + c.battery + " 25.0 00001001",
                                         kWhen, true, '.', c.nominal);
        ASSERT_TRUE(st);
        EXPECT_EQ(st->BatteryPack.cells, c.pack.cells) << c.battery << " at " << c.nominal;
        ASSERT_EQ(st->BatteryPack.volts.has_value(), c.pack.volts.has_value()) << c.battery;
        if (c.pack.volts) { EXPECT_DOUBLE_EQ(*st->BatteryPack.volts, *c.pack.volts) << c.battery; }
    }
}

// Every field carries its number beside its text; only fields 1, 3 and 6
// end the reply when they do not convert, and a field never cut is not the
// last reply's.
TEST(ParseStatusReply, EachFieldHasItsNumberAndOnlyTheCutOnesAreTheReplys) {
    const auto st = Parse("(230.0 N/A 229.0 013 ? 13.60 --- 00001001");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->FailedField, 0);
    EXPECT_EQ(st->OPCurrent, (ReplyField{"013", 13.0}));
    EXPECT_EQ(st->IPFaultVoltage, (ReplyField{"N/A", std::nullopt}));
    EXPECT_EQ(st->IPFrequency, (ReplyField{"?", std::nullopt}));
    EXPECT_EQ(st->Temperature, (ReplyField{"---", std::nullopt}));
    EXPECT_TRUE(StatusBitsKnown(*st));

    const auto cut = Parse("(230.0 230.0 ---.- 013 50.0 13.60 25.0 10000000");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(FieldOfReply(*cut, &TUPSStatus::OPVoltage));
    EXPECT_FALSE(FieldOfReply(*cut, &TUPSStatus::OPCurrent));
    EXPECT_FALSE(FieldOfReply(*cut, &TUPSStatus::UPSStatus));
    EXPECT_FALSE(StatusBitsKnown(*cut));
    EXPECT_FALSE(StatusBitsKnown(*Parse("(230.0 230.0 229.0 013 50.0 13.60 25.0 1000000")));  // seven bits
}

// A UPS gone silent: its readings go, its bits and the age of its last reply stay.
TEST(ClearReadings, LeavesTheBitsAndTheReplyTime) {
    auto st = Parse("(000.0 230.0 229.0 013 50.0 2.27 25.0 11000000");
    ASSERT_TRUE(st);
    ClearReadings(*st);
    for (const ReplyFieldName& name : kReplyFields) EXPECT_EQ((*st).*name.field, ReplyField{}) << name.key;
    EXPECT_FALSE(st->BatteryPack.volts);
    EXPECT_EQ(st->ReplyText, "");
    EXPECT_EQ(st->FieldsCut, 0);
    EXPECT_FALSE(FieldOfReply(*st, &TUPSStatus::IPVoltage));
    EXPECT_TRUE(st->PowerFail && st->BatteryLow);
    EXPECT_EQ(st->ReplyTime, kWhen);
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
