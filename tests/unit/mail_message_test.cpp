#include "net/mail_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace velt {
namespace {

using namespace std::chrono;

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    while (times-- > 0) out += piece;
    return out;
}

TEST(MailMessage, HeadersThenAQuotedPrintableDotStuffedBody) {
    MailParts parts;
    parts.from = "UPS Monitor <ups@example.com>";
    parts.to = {"a@example.com", "\"Doe, Jo\" <jo@example.com>"};
    parts.subject = "Report - 29.02.2024 13:05:09";
    parts.body = "Temperature = 25.0 \xB0" "C\r\n"  // the degree sign of the ANSI code page
                 ".hidden\n"                      // a bare LF ends a line too
                 "cr\r"
                 "blank at the end \r\n"
                 "a=b\r\n" +
                 std::string(80, 'x') + "\r\n" +        // soft break after 75
                 std::string(74, 'y') + "\xB0\r\n" +    // "=B0" would pass 76
                 ".";                                     // no ending; not the terminator
    parts.domain = "pc-1";
    parts.date = sys_days{2024y / February / 29} + 13h + 5min + 9s + 700ms;

    const std::string data = ComposeMailData(parts);
    const auto blank = data.find("\r\n\r\n");
    ASSERT_NE(blank, std::string::npos);
    const std::string headers = data.substr(0, blank + 2);
    for (const char* header : {"Date: Thu, 29 Feb 2024 13:05:09 +0000\r\n",
                               "From: UPS Monitor <ups@example.com>\r\n",
                               "To: a@example.com, \"Doe, Jo\" <jo@example.com>\r\n",
                               "Subject: Report - 29.02.2024 13:05:09\r\n", "X-Mailer: Veltrano\r\n",
                               "MIME-Version: 1.0\r\n", "Content-Type: text/plain; charset=windows-1252\r\n",
                               "Content-Transfer-Encoding: quoted-printable\r\n"})
        EXPECT_NE(headers.find(header), std::string::npos) << header;
    std::smatch id;
    ASSERT_TRUE(std::regex_search(headers, id, std::regex("\r\nMessage-ID: (<[^<>@ ]+@pc-1>)\r\n")));
    EXPECT_EQ(ComposeMailData(parts).find(id[1].str()), std::string::npos) << "the same Message-ID twice";

    EXPECT_EQ(data.substr(blank + 4),
              "Temperature =3D 25.0 =B0C\r\n"
              "..hidden\r\n"
              "cr\r\n"
              "blank at the end=20\r\n"
              "a=3Db\r\n" +
                  std::string(75, 'x') + "=\r\n" + std::string(5, 'x') + "\r\n" +
                  std::string(74, 'y') + "=\r\n=B0\r\n"
                  "..\r\n"
                  ".\r\n");
    for (const auto& line : LinesOf(data)) EXPECT_LE(line.size(), 76u) << line;
}

TEST(MailMessage, AGivenIdIsTheMessageIdEveryTimeTheMessageIsSent) {
    const struct {
        const char* id;
        const char* header;  // nothing: a new id each time
    } cases[] = {
        {"18f2a.00c0ffee12345678.7", "Message-ID: <18f2a.00c0ffee12345678.7@pc-1>\r\n"},
        {"a b>\r\nBcc: x@y", "Message-ID: <abBccxy@pc-1>\r\n"},  // never a header of its own
        {"", nullptr},
        {"<>@ ", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        MailParts parts;
        parts.from = "ups@example.com";
        parts.domain = "pc-1";
        parts.messageId = c.id;
        const std::string first = ComposeMailData(parts), second = ComposeMailData(parts);
        const std::string headers = first.substr(0, first.find("\r\n\r\n") + 2);
        EXPECT_EQ(headers.find("\r\nBcc"), std::string::npos);
        if (c.header) {
            EXPECT_NE(headers.find(c.header), std::string::npos) << headers;
            EXPECT_EQ(first, second);
        } else {
            EXPECT_TRUE(std::regex_search(headers, std::regex("\r\nMessage-ID: <[^<>@ ]+@pc-1>\r\n"))) << headers;
            EXPECT_NE(first, second);
        }
    }
}

TEST(MailMessage, SubjectOutsideAsciiGoesAsFoldedEncodedWords) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"Temperature 25.0 \xB0" "C", {"Subject: =?windows-1252?Q?Temperature_25.0_=B0C?="}},
        // Text that merely looks like an encoded word is encoded, so readers keep it.
        {"=?x?", {"Subject: =?windows-1252?Q?=3D=3Fx=3F?="}},
        {"line\r\nbreak", {"Subject: line  break"}},
        // 76 characters at most on each line: 16 bytes on the first, the rest on the next.
        {std::string(30, '\xB0'),
         {"Subject: =?windows-1252?Q?" + Repeat("=B0", 16) + "?=", " =?windows-1252?Q?" + Repeat("=B0", 14) + "?="}},
    };
    for (const auto& [subject, expected] : cases) {
        MailParts parts;
        parts.subject = subject;
        parts.domain = "pc";
        const auto lines = LinesOf(ComposeMailData(parts));
        auto at = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return l.rfind("Subject: ", 0) == 0; });
        ASSERT_NE(at, lines.end());
        for (const auto& line : expected) {
            ASSERT_NE(at, lines.end());
            EXPECT_EQ(*at++, line) << subject;
        }
        EXPECT_TRUE(at == lines.end() || (*at)[0] != ' ') << "folded further than expected";
    }
}

TEST(MailMessage, AddressesRecipientsAndDomainAsEntered) {
    const std::pair<const char*, const char*> addresses[] = {
        {"Name <a@b.org>", "a@b.org"}, {"  a@b.org  ", "a@b.org"}, {"Name < a@b.org > ", "a@b.org"},
        {"\"Doe <home>\" <jo@x.org>", "jo@x.org"}, {"<a@b.org", "a@b.org"}, {"a@b.org\r\nRSET", "a@b.orgRSET"},
        {"", ""}};
    for (const auto& [entered, address] : addresses) EXPECT_EQ(MailboxAddress(entered), address) << entered;

    const std::pair<const char*, std::vector<std::string>> lists[] = {
        {"a@b.org, c@d.org", {"a@b.org", "c@d.org"}},
        {" , a@b.org,, ,", {"a@b.org"}},
        {"\"Doe, Jo\" <jo@x.org>,Bo <b,o@y.org>", {"\"Doe, Jo\" <jo@x.org>", "Bo <b,o@y.org>"}},
        {"", {}},
        {"\"unclosed, a@b.org", {"\"unclosed, a@b.org"}}};
    for (const auto& [entered, recipients] : lists) EXPECT_EQ(MailRecipients(entered), recipients) << entered;

    EXPECT_EQ(MailDomain(" PC_1 "), "PC-1");
    EXPECT_EQ(MailDomain(""), "localhost");
    EXPECT_EQ(MailDomain("host.lan"), "host.lan");
}

}  // namespace
}  // namespace velt
