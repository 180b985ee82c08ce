#include "net/nut_client.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "core/control_chars.h"
#include "net/asio.h"
#include "net/deadline_io.h"
#include "net/nut_protocol.h"
#include "sys/error_text.h"

namespace velt {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::system::error_code;
using Clock = std::chrono::steady_clock;

namespace {

// How much of a server's line an error text quotes.
constexpr size_t kQuotedMax = 80;

// A server's line on one line of the log, cut short.
std::string Quoted(std::string_view line) {
    std::string text(line.substr(0, kQuotedMax));
    for (char& c : text)
        if (IsControl(c)) c = ' ';
    return line.size() > kQuotedMax ? text + "..." : text;
}

std::string Unexpected(std::string_view line) { return "unexpected reply: " + Quoted(line); }

std::string LostText(const error_code& error) {
    if (error == asio::error::eof || error == asio::error::connection_reset) return "server closed the connection";
    return "connection lost: " + TrimSystemErrorText(error.message());
}

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

// "ERR ACCESS-DENIED", without the server's optional words after the error's.
std::optional<std::string> ErrorWord(std::string_view line) {
    if (!StartsWith(line, "ERR ")) return std::nullopt;
    line.remove_prefix(4);
    return "ERR " + Quoted(line.substr(0, line.find(' ')));
}

// What goes on a request line unquoted: a UPS name, one word of printable ASCII.
bool IsPlainWord(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return c > ' ' && c < 0x7F && c != '"' && c != '\\';
    });
}

// A quoted word may hold blanks, but a line end would start a request of its own.
bool HasControl(std::string_view text) { return std::any_of(text.begin(), text.end(), IsControl); }

}  // namespace

struct NutClient::Impl {
    NutClientLimits limits;
    // The buffers outlive the I/O context: an operation cut short may still
    // hold them until the context is gone.
    std::string input;   // received and not yet taken as lines
    std::string output;  // the request being written
    std::array<char, 4096> chunk{};
    DeadlineIo net;

    explicit Impl(NutClientLimits l) : limits(l) {}

    void Close() {
        error_code ignored;
        net.socket.close(ignored);
        input.clear();
    }

    // Closes the connection and gives `why`.
    std::string Fail(std::string why) {
        Close();
        return net.abandoned ? "abandoned" : why;
    }

    std::string Connect(const std::string& host, uint16_t port) {
        Close();
        if (net.abandoned) return "abandoned";
        if (host.empty() || HasControl(host)) return "connect: no host";
        error_code error;
        if (!net.Connect(host, port, Clock::now() + limits.connect, error)) return Fail("connect: timed out");
        if (error) return Fail("connect: " + TrimSystemErrorText(error.message()));
        return {};
    }

    // One request line; empty, or why it did not go.
    std::string Send(std::string line, Clock::time_point deadline) {
        if (net.abandoned) return Fail("abandoned");
        if (!net.socket.is_open()) return "not connected";
        output = std::move(line) + "\n";
        auto op = std::make_shared<IoOpResult>();
        asio::async_write(net.socket, asio::buffer(output), DeadlineIo::Completion(op));
        if (!net.Await(op, deadline)) return Fail("request: timed out");
        if (op->error) return Fail(LostText(op->error));
        return {};
    }

    // Appends what arrives next to the input.
    std::string ReadSome(Clock::time_point deadline) {
        const auto op = net.ReadSome(chunk.data(), chunk.size());
        if (!net.Await(op, deadline)) return Fail("reply: timed out");
        if (op->error) return Fail(LostText(op->error));
        input.append(chunk.data(), op->bytes);
        return {};
    }

    // The next line without its line end; lines already received are taken
    // without waiting, as a whole list often arrives in one piece.
    std::string ReadLine(std::string& line, Clock::time_point deadline) {
        size_t end;
        while ((end = input.find('\n')) == std::string::npos) {
            if (input.size() > limits.lineBytes) return Fail("reply too long");
            if (auto failed = ReadSome(deadline); !failed.empty()) return failed;
        }
        if (end > limits.lineBytes) return Fail("reply too long");
        line.assign(input, 0, end);
        input.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return {};
    }

    // A request answered "OK" (with or without words after it).
    std::string Expect(std::string request) {
        const auto deadline = Clock::now() + limits.reply;
        std::string reply;
        if (auto failed = Send(std::move(request), deadline); !failed.empty()) return failed;
        if (auto failed = ReadLine(reply, deadline); !failed.empty()) return failed;
        if (reply == "OK" || StartsWith(reply, "OK ")) return {};
        if (auto refusal = ErrorWord(reply)) return *refusal;
        return Fail(Unexpected(reply));
    }

    std::string Login(const std::string& user, const std::string& password, const std::string& ups, bool attach) {
        if (user.empty()) return {};
        if (!IsPlainWord(ups)) return "login: not a UPS name: " + Quoted(ups);
        if (HasControl(user) || HasControl(password)) return "login: a control character in the user or password";
        for (std::string request : {"USERNAME " + NutQuote(user), "PASSWORD " + NutQuote(password)})
            if (auto failed = Expect(std::move(request)); !failed.empty()) return failed;
        return attach ? Expect("LOGIN " + ups) : std::string();
    }

    // "LIST <kind> <ups>" within one deadline: each line's words after the
    // kind and the UPS (`words` of them), in the server's order.
    std::string List(const std::string& kind, const std::string& ups, size_t words,
                     std::vector<std::vector<std::string>>& lines) {
        if (!IsPlainWord(ups)) return "list: not a UPS name: " + Quoted(ups);
        const auto deadline = Clock::now() + limits.reply;
        std::string line;
        if (auto failed = Send("LIST " + kind + " " + ups, deadline); !failed.empty()) return failed;
        if (auto failed = ReadLine(line, deadline); !failed.empty()) return failed;
        if (auto refusal = ErrorWord(line)) return *refusal;
        if (line != "BEGIN LIST " + kind + " " + ups) return Fail(Unexpected(line));
        const std::string failed = ReadListLines(kind, ups, words, deadline, lines);
        if (!failed.empty()) lines.clear();
        return failed;
    }

    // The lines up to END LIST, within the list's limits.
    std::string ReadListLines(const std::string& kind, const std::string& ups, size_t words,
                              Clock::time_point deadline, std::vector<std::vector<std::string>>& lines) {
        const std::string end = "END LIST " + kind + " " + ups;
        size_t bytes = 0;
        for (std::string line;;) {
            if (auto failed = ReadLine(line, deadline); !failed.empty()) return failed;
            if (line == end) return {};
            bytes += line.size() + 1;
            if (lines.size() >= limits.listLines || bytes > limits.listBytes) return Fail("reply too long");
            auto parts = NutTokenize(line);
            if (!parts || parts->size() != words + 2 || (*parts)[0] != kind || (*parts)[1] != ups)
                return Fail(Unexpected(line));
            lines.emplace_back(parts->begin() + 2, parts->end());
        }
    }

    NutListing ListVar(const std::string& ups) {
        std::vector<std::vector<std::string>> lines;
        NutListing listing;
        listing.error = List("VAR", ups, 2, lines);
        for (auto& line : lines) listing.variables.emplace(line[0], line[1]);  // the first of a name given twice
        return listing;
    }

    NutCommandList ListCmd(const std::string& ups) {
        std::vector<std::vector<std::string>> lines;
        NutCommandList list;
        list.error = List("CMD", ups, 1, lines);
        for (auto& line : lines) list.commands.insert(line[0]);
        return list;
    }

    std::string InstCmd(const std::string& ups, const std::string& command) {
        if (!IsPlainWord(ups) || !IsPlainWord(command)) return "command: not a UPS or command name";
        return Expect("INSTCMD " + ups + " " + command);
    }

    void Logout() {
        if (!net.socket.is_open()) return;
        const auto deadline = Clock::now() + limits.logout;
        std::string goodbye;
        if (Send("LOGOUT", deadline).empty()) ReadLine(goodbye, deadline);
        Close();
    }
};

NutClient::NutClient(NutClientLimits limits) : impl_(std::make_unique<Impl>(limits)) {}

NutClient::~NutClient() = default;

NutClientResult NutClient::Connect(const std::string& host, uint16_t port) { return {impl_->Connect(host, port)}; }

NutClientResult NutClient::Login(const std::string& user, const std::string& password, const std::string& upsName,
                                 bool attach) {
    return {impl_->Login(user, password, upsName, attach)};
}

NutListing NutClient::ListVar(const std::string& upsName) { return impl_->ListVar(upsName); }

NutCommandList NutClient::ListCmd(const std::string& upsName) { return impl_->ListCmd(upsName); }

NutClientResult NutClient::InstCmd(const std::string& upsName, const std::string& command) {
    return {impl_->InstCmd(upsName, command)};
}

void NutClient::Logout() { impl_->Logout(); }

bool NutClient::Connected() const { return impl_->net.socket.is_open(); }

void NutClient::Abandon() { impl_->net.Abandon(); }

}  // namespace velt
