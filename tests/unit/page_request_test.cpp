#include "reports/page_request.h"

#include <gtest/gtest.h>

#include "net/base64.h"
#include "net/page_request_head.h"

namespace velt {
namespace {

const std::string kTime = "01.02.2024 10:00:00";
using Headers = std::vector<std::pair<std::string, std::string>>;
const Headers kNoCache = {{"Cache-Control", "no-store, no-cache, must-revalidate"},
                          {"Cache-Control", "post-check=0, pre-check=0"},
                          {"Pragma", "no-cache"}};
const std::string kDefaultBody = "<HTML><BODY><B>200 OK</B></BODY></HTML>";

// The power-fail box still ticked from a reply before this one.
ShownStatus FoundUps() {
    ShownStatusParts parts;
    parts.reading = *ParseStatusReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 00001001", {}, true);
    parts.reading.PowerFail = true;
    parts.replied = parts.upsFound = true;
    parts.identity = {"0665", "5161", "UPS"};
    return ComposeShownStatus(std::move(parts));
}

// Only the two lines every page has and the power-fail word, so the body can
// be written out whole.
TUPSSettings ShortPage(std::string user, std::string password) {
    TUPSSettings settings;
    settings.IPVoltage = settings.IPFaultVoltage = settings.OPVoltage = settings.OPCurrent = settings.IPFrequency =
        settings.BatteryVoltage = settings.Temperature = settings.UPSStatus = false;
    settings.HTTPUser = std::move(user);
    settings.HTTPPassword = std::move(password);
    return settings;
}

TEST(PageRequest, OnlyExactCredentialsGetTheReportAndOnlyAtTheRoot) {
    struct Case {
        const char* name;
        std::string storedUser, storedPassword;
        PageRequest request;
        int status;
    };
    const Case cases[] = {
        {"nothing stored, nothing sent", "", "", {"/", "", ""}, 200},
        {"nothing stored, credentials sent anyway", "", "", {"/", "a", "b"}, 401},
        {"user stored, nothing sent", "admin", "", {"/", "", ""}, 401},
        {"both stored and sent", "admin", "Secret", {"/", "admin", "Secret"}, 200},
        {"password alone stored and sent", "", "Secret", {"/", "", "Secret"}, 200},
        {"wrong password", "admin", "Secret", {"/", "admin", "secret"}, 401},
        {"user differs in case", "admin", "Secret", {"/", "Admin", "Secret"}, 401},
        {"password one byte longer", "admin", "Secret", {"/", "admin", "Secret!"}, 401},
        {"password a prefix", "admin", "Secret", {"/", "admin", "Secre"}, 401},
        {"password twice", "admin", "Secret", {"/", "admin", "SecretSecret"}, 401},
        {"password empty", "admin", "Secret", {"/", "admin", ""}, 401},
        {"user and password swapped", "admin", "Secret", {"/", "Secret", "admin"}, 401},
        {"favicon, credentials stored", "admin", "Secret", {"/favicon.ico", "", ""}, 200},
        {"index.html with the right credentials", "admin", "Secret", {"/index.html", "admin", "Secret"}, 200},
        {"empty path", "", "", {"", "", ""}, 200},
    };
    const std::string report = "<b>Report</b> - " + kTime + "</br>\r\nVID: 0x0665 PID: 0x5161 Product: UPS</br>\r\n"
                               "Power fail</br>\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageResponse response =
            IdHTTPSCommandGet(c.request, FoundUps(), ShortPage(c.storedUser, c.storedPassword), kTime);
        EXPECT_EQ(response.status, c.status);
        EXPECT_EQ(response.contentType, "text/html");
        if (c.status == 401) {
            EXPECT_EQ(response.headers, (Headers{{"WWW-Authenticate", "Basic realm=\"Veltrano HTTP Server\""}}));
            EXPECT_EQ(response.body, "<HTML><BODY><B>401 Unauthorized</B></BODY></HTML>");
        } else if (c.request.path == "/") {
            EXPECT_EQ(response.headers, kNoCache);
            EXPECT_EQ(response.body, report);
        } else {
            EXPECT_TRUE(response.headers.empty());
            EXPECT_EQ(response.body, kDefaultBody);
        }
    }
}

TEST(PageRequest, BeforeAUpsIsFoundThePageIsOneLineWithTheSameHeaders) {
    ShownStatus shown = FoundUps();
    shown.upsFound = false;
    const PageResponse response = IdHTTPSCommandGet({"/", "", ""}, shown, TUPSSettings{}, kTime);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.headers, kNoCache);
    EXPECT_EQ(response.body, "UPS not found!</br>\r\n");
}

TEST(PageRequestHead, TakesThePathAndSplitsBasicCredentialsAtTheFirstColon) {
    struct Case {
        std::string target, authorization;
        PageRequest expected;
    };
    const auto basic = [](const char* plain) { return "Basic " + Base64Encode(plain); };
    const Case cases[] = {
        {"/", "", {"/", "", ""}},
        {"/?refresh=1", basic("admin:Secret"), {"/", "admin", "Secret", "refresh=1"}},
        {"/history.json?from=2026-12-01T10:00:00+01:00&to=?x", "",
         {"/history.json", "", "", "from=2026-12-01T10:00:00+01:00&to=?x"}},
        {"/history?", "", {"/history", "", ""}},
        {"/favicon.ico", "  bAsIc   " + Base64Encode("admin:Secret") + " ", {"/favicon.ico", "admin", "Secret"}},
        {"/", basic("user:pa:ss"), {"/", "user", "pa:ss"}},
        {"/", basic(":"), {"/", "", ""}},
        {"/", basic("\xE4user:\xB0"), {"/", "\xE4user", "\xB0"}},
        // Malformed: no user and no password, whatever the text holds.
        {"/", basic("no colon"), {"/", "", ""}},
        {"/", "Basic", {"/", "", ""}},
        {"/", "Basic ", {"/", "", ""}},
        {"/", "Basic !!!!", {"/", "", ""}},
        {"/", "Basic " + Base64Encode("admin:Secret").substr(1), {"/", "", ""}},
        {"/", "Basic" + Base64Encode("admin:Secret"), {"/", "", ""}},
        {"/", "Bearer " + Base64Encode("admin:Secret"), {"/", "", ""}},
        {"/", "Digest username=\"admin\"", {"/", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.authorization);
        const PageRequest request = PageRequestFromHead(c.target, c.authorization);
        EXPECT_EQ(request.path, c.expected.path);
        EXPECT_EQ(request.user, c.expected.user);
        EXPECT_EQ(request.password, c.expected.password);
        EXPECT_EQ(request.query, c.expected.query);
    }
}

}  // namespace
}  // namespace velt
