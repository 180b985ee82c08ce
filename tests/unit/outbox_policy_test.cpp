#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "fakes.h"
#include "reports/outbox_failure.h"
#include "reports/outbox_message_id.h"
#include "reports/outbox_note.h"
#include "reports/outbox_retry.h"

namespace velt {
namespace {

using test::FixedFormat;

constexpr int64_t kHour = 3600;

TEST(OutboxRetry, DelaysGrowThenStayHourly) {
    const struct {
        int failures;
        int64_t seconds;
    } cases[] = {{0, 30}, {1, 30}, {2, 60}, {3, 120}, {4, 300}, {5, 600}, {6, 1800}, {7, 3600}, {40, 3600}};
    for (const auto& c : cases) EXPECT_EQ(RetryDelaySeconds(c.failures), c.seconds) << c.failures;
}

TEST(OutboxRetry, NoTryIsMadeOnceOutboxHoursAreOver) {
    const int64_t created = 1'800'000'000;
    const struct {
        int failures;
        int64_t failedAfter;  // seconds after created
        int hours;
        std::optional<int64_t> nextAfter;
    } cases[] = {
        {1, 0, 48, 30},
        {7, 46 * kHour, 48, 47 * kHour},
        {7, 47 * kHour, 48, std::nullopt},  // the try would fall on the 48th hour's end
        {7, 47 * kHour - 1, 48, 48 * kHour - 1},
        {1, 0, 0, 30},                     // held to one hour at least
        {3, kHour - 100, 1, std::nullopt},  // 120 s past the hour
        {7, 700 * kHour, 5000, 701 * kHour},  // held to 720
        {7, 719 * kHour, 5000, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto next = NextTryUtc(created, c.failures, created + c.failedAfter, c.hours);
        EXPECT_EQ(next, c.nextAfter ? std::optional<int64_t>(created + *c.nextAfter) : std::nullopt)
            << c.failures << " at " << c.failedAfter;
        // What may still be tried has not expired yet.
        if (next) {
            EXPECT_FALSE(OutboxExpired(created, *next, c.hours));
        }
    }
}

// The whole schedule from the first failure: hourly until the 48 hours end.
TEST(OutboxRetry, ADefaultScheduleTriesForTwoDays) {
    const int64_t created = 0;
    int64_t at = created;
    int tries = 1;
    for (int failures = 1;; ++failures) {
        const auto next = NextTryUtc(created, failures, at, kOutboxHoursDefault);
        if (!next) break;
        at = *next;
        ++tries;
    }
    EXPECT_EQ(tries, 1 + 6 + 47);
    EXPECT_GT(at + kHour, 48 * kHour);
    EXPECT_LT(at, 48 * kHour);
}

TEST(OutboxFailure, WhatMayPassIsTriedAgainARefusalIsNot) {
    using K = SendFailureKind;
    const auto T = FailureClass::Transient, P = FailureClass::Permanent;
    const struct {
        SendFailure failure;
        FailureClass expected;
        const char* text;
    } cases[] = {
        {{K::NoRoute, 0}, T, "no route to the server"},
        {{K::NameNotResolved, 0}, T, "server name not resolved"},
        {{K::ConnectionRefused, 0}, T, "connection refused"},
        {{K::ConnectionReset, 0}, T, "connection reset"},
        {{K::TimedOut, 0}, T, "timed out"},
        {{K::Other, 0}, T, "send failed"},
        {{K::SmtpReply, 421}, T, "SMTP 421"},
        {{K::SmtpReply, 451}, T, "SMTP 451"},
        {{K::SmtpReply, 452}, T, "SMTP 452"},
        {{K::SmtpReply, 500}, P, "SMTP 500"},
        {{K::SmtpReply, 550}, P, "SMTP 550"},
        {{K::SmtpReply, 554}, P, "SMTP 554"},
        {{K::SmtpReply, 354}, P, "SMTP 354"},
        {{K::SmtpReply, 0}, P, "SMTP 0"},
        {{K::HttpStatus, 429}, T, "HTTP 429"},
        {{K::HttpStatus, 500}, T, "HTTP 500"},
        {{K::HttpStatus, 502}, T, "HTTP 502"},
        {{K::HttpStatus, 503}, T, "HTTP 503"},
        {{K::HttpStatus, 599}, T, "HTTP 599"},
        {{K::HttpStatus, 400}, P, "HTTP 400"},
        {{K::HttpStatus, 401}, P, "HTTP 401"},
        {{K::HttpStatus, 404}, P, "HTTP 404"},
        {{K::HttpStatus, 408}, P, "HTTP 408"},
        {{K::HttpStatus, 499}, P, "HTTP 499"},
        {{K::HttpStatus, 301}, P, "HTTP 301"},
        {{K::HttpStatus, 600}, P, "HTTP 600"},
        {{K::CertificateRefused, 0}, P, "server certificate refused"},
        {{K::UnusableAddress, 0}, P, "the address cannot be used"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyFailure(c.failure), c.expected) << c.text;
        EXPECT_EQ(SendFailureText(c.failure), c.text);
    }
}

TEST(OutboxMessageIds, UniqueAndFitForAnEmailLocalPart) {
    // RFC 5322's dot-atom, narrowed to letters and digits.
    const std::regex dotAtom("[A-Za-z0-9]+(\\.[A-Za-z0-9]+)*");
    std::set<std::string> seen;
    OutboxMessageIds thisRun(0x0123456789abcdefULL), nextRun(7), zeroSeed(0);
    for (int i = 0; i < 500; ++i) {
        for (OutboxMessageIds* ids : {&thisRun, &nextRun, &zeroSeed}) {
            // The same second throughout, and a time before 1970 once.
            const std::string id = ids->Next(i == 0 ? -1 : 1'800'000'000);
            EXPECT_TRUE(std::regex_match(id, dotAtom)) << id;
            EXPECT_LE(id.size(), 64u) << id;
            EXPECT_TRUE(seen.insert(id).second) << id;
        }
    }
    EXPECT_NE(RandomRunSeed(), RandomRunSeed());
}

TEST(OutboxNote, TheBodySaysWhenItWasWritten) {
    const LocalDateTime written{2027, 3, 4, 5, 6, 7, 0, 60};
    const struct {
        const char* body;
        const char* noted;
    } cases[] = {
        {"Mains failed.", "Mains failed.\n\nWritten at 04.03.2027 05:06:07."},
        {"Mains failed.\n", "Mains failed.\n\nWritten at 04.03.2027 05:06:07."},
        {"Line 1\r\nLine 2", "Line 1\r\nLine 2\r\n\r\nWritten at 04.03.2027 05:06:07."},
        {"", "Written at 04.03.2027 05:06:07."},
    };
    for (const auto& c : cases) EXPECT_EQ(BodyWithWrittenAt(c.body, written, FixedFormat()), c.noted) << c.body;
}

}  // namespace
}  // namespace velt
