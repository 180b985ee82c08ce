#include "net/mail_message.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>

#include "core/blank_trim.h"
#include "core/control_chars.h"

namespace velt {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
// RFC 2045 and 2047 both cap an encoded line at 76 characters.
constexpr size_t kEncodedLineMax = 76;

// Header values stay on their one line.
std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (IsControl(c)) c = ' ';
    return std::string(TrimBlanks(out));
}

void AppendHexByte(unsigned char c, std::string& out) {
    out += '=';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

std::string DateText(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{floor<seconds>(time - day)};
    char text[48];
    std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d +0000",
                  kDays[weekday{day}.c_encoding()], static_cast<unsigned>(date.day()),
                  kMonths[static_cast<unsigned>(date.month()) - 1], static_cast<int>(date.year()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

// Unique per message: the time, a counter of this process and a random
// number drawn once, so two programs sending in the same millisecond differ.
std::string MessageId(std::string_view domain, std::chrono::system_clock::time_point time) {
    static std::atomic<uint64_t> counter{0};
    static const uint32_t processTag = std::random_device{}();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
    char text[64];
    std::snprintf(text, sizeof text, "%lld.%llu.%08x", static_cast<long long>(ms.count()),
                  static_cast<unsigned long long>(++counter), static_cast<unsigned>(processTag));
    return "<" + std::string(text) + "@" + std::string(domain) + ">";
}

// The caller's id, kept to what a Message-ID's local part may hold; a new
// one when nothing is left.
std::string MessageIdFor(const MailParts& parts) {
    std::string local;
    for (const char c : parts.messageId)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-' ||
            c == '_')
            local += c;
    if (local.empty()) return MessageId(parts.domain, parts.date);
    return "<" + local + "@" + parts.domain + ">";
}

bool NeedsEncodedWord(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    // Plain text that looks like an encoded word would be decoded by readers.
    return text.find("=?") != std::string_view::npos;
}

// The Subject header line. Text outside 7-bit ASCII goes as RFC 2047
// encoded words ("Q", windows-1252), folded so no line exceeds 76 characters.
std::string SubjectHeader(std::string_view subject) {
    const std::string text = OneLine(subject);
    std::string out = "Subject: ";
    if (!NeedsEncodedWord(text)) return out + text + "\r\n";
    constexpr std::string_view kOpen = "=?windows-1252?Q?", kClose = "?=";
    size_t room = kEncodedLineMax - out.size();
    std::string word;
    const auto closeWord = [&] { out.append(kOpen).append(word).append(kClose); };
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        std::string piece;
        if (c == ' ')
            piece = "_";
        else if (c > ' ' && c < 0x7F && c != '=' && c != '?' && c != '_')
            piece = ch;
        else
            AppendHexByte(c, piece);
        if (kOpen.size() + word.size() + piece.size() + kClose.size() > room) {
            closeWord();
            out += "\r\n ";
            word.clear();
            room = kEncodedLineMax - 1;
        }
        word += piece;
    }
    closeWord();
    return out + "\r\n";
}

// The To header, folded between recipients so that its lines stay short.
std::string ToHeader(const std::vector<std::string>& to) {
    std::string out = "To: ";
    size_t lineStart = 0;
    for (size_t i = 0; i < to.size(); ++i) {
        const std::string item = OneLine(to[i]);
        if (i > 0) {
            out += ',';
            if (out.size() - lineStart + 1 + item.size() > 78) {
                out += "\r\n";
                lineStart = out.size();
            }
            out += ' ';
        }
        out += item;
    }
    return out + "\r\n";
}

// One body line, without its ending, in quoted-printable (RFC 2045): lines
// of at most 76 characters joined by soft breaks; blanks at the end encoded.
void AppendQuotedPrintableLine(std::string_view line, std::string& out) {
    size_t width = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        const size_t size = literal ? 1 : 3;
        // A piece that is not the last must leave room for the soft break's "=".
        if (width + size > (last ? kEncodedLineMax : kEncodedLineMax - 1)) {
            out += "=\r\n";
            width = 0;
        }
        if (literal)
            out += static_cast<char>(c);
        else
            AppendHexByte(c, out);
        width += size;
    }
    out += "\r\n";
}

// The body's lines end in CR LF, LF or CR alike; the last one may have none.
std::string QuotedPrintableBody(std::string_view body) {
    std::string out;
    size_t start = 0;
    while (start < body.size()) {
        const size_t end = body.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            AppendQuotedPrintableLine(body.substr(start), out);
            break;
        }
        AppendQuotedPrintableLine(body.substr(start, end - start), out);
        start = end + (body.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return out;
}

// RFC 5321 transparency: a line that begins with "." gets a second one.
std::string DotStuffed(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

}  // namespace

std::string MailboxAddress(std::string_view mailbox) {
    const auto open = mailbox.rfind('<');
    if (open != std::string_view::npos) {
        const auto close = mailbox.find('>', open);
        mailbox = mailbox.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
    }
    std::string kept;
    for (const char c : mailbox)
        if (!IsControl(c)) kept += c;
    return std::string(TrimBlanks(kept));
}

std::vector<std::string> MailRecipients(std::string_view list) {
    std::vector<std::string> out;
    bool quoted = false, bracketed = false;
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
        const char c = i < list.size() ? list[i] : ',';
        if (c == '"' && !bracketed)
            quoted = !quoted;
        else if (c == '<' && !quoted)
            bracketed = true;
        else if (c == '>' && !quoted)
            bracketed = false;
        else if (c == ',' && ((!quoted && !bracketed) || i == list.size())) {
            const auto item = TrimBlanks(list.substr(start, i - start));
            if (!item.empty()) out.emplace_back(item);
            start = i + 1;
        }
    }
    return out;
}

std::string MailDomain(std::string_view heloName) {
    std::string out(TrimBlanks(heloName));
    for (char& c : out)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
              c == '.'))
            c = '-';
    return out.empty() ? "localhost" : out;
}

std::string ComposeMailData(const MailParts& parts) {
    std::string text = "Date: " + DateText(parts.date) + "\r\n";
    text += "From: " + OneLine(parts.from) + "\r\n";
    if (!parts.to.empty()) text += ToHeader(parts.to);
    text += SubjectHeader(parts.subject);
    text += "Message-ID: " + MessageIdFor(parts) + "\r\n";
    text += "X-Mailer: Veltrano\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=windows-1252\r\n";
    text += "Content-Transfer-Encoding: quoted-printable\r\n";
    text += "\r\n";
    text += QuotedPrintableBody(parts.body);
    return DotStuffed(text) + ".\r\n";
}

}  // namespace velt
