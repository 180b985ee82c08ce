#pragma once
// The text of one e-mail as the SMTP client sends it: addresses taken from
// what the user entered, and the DATA text with its headers. Pure text, no
// sockets. Subject and body are bytes of the ANSI code page (windows-1252);
// the message goes out 7-bit clean, so a server without 8BITMIME passes it
// intact.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The address of a mailbox as entered: "Name <a@b>" gives "a@b", "a@b"
// gives "a@b"; blanks around it and control characters are dropped, so the
// address can stand in a command line.
std::string MailboxAddress(std::string_view mailbox);

// The recipients of a comma-separated list, each trimmed, empty ones
// dropped. A comma inside quotes or angle brackets belongs to its recipient.
std::vector<std::string> MailRecipients(std::string_view list);

// A name fit for EHLO and the right-hand side of a message identifier: the
// computer's name with anything but letters, digits, '-' and '.' made '-';
// "localhost" when nothing is left.
std::string MailDomain(std::string_view heloName);

struct MailParts {
    std::string from;                 // as entered, display name allowed
    std::vector<std::string> to;      // as MailRecipients gives them
    std::string subject;
    std::string body;                 // lines end in CR LF, LF or CR
    std::string domain;               // as MailDomain gives it
    std::chrono::system_clock::time_point date;
    std::string messageId = {};       // the Message-ID's local part; empty: one made here
};

// The DATA text: the headers (the Date in UTC), a blank line, the body in
// quoted-printable; dot-stuffed and ending with CR LF "." CR LF. The
// Message-ID is "<messageId@domain>" (letters, digits, '.', '-' and '_' of
// it kept), so a message sent again carries the same one; without an id,
// each call makes a new one.
std::string ComposeMailData(const MailParts& parts);

}  // namespace velt
