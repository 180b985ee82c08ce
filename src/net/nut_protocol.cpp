#include "net/nut_protocol.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velt {

namespace {

// The name QNAP units ask for whatever the server calls its UPS.
constexpr std::string_view kAliasUps = "qnapups";
constexpr std::string_view kUnavailable = "Unavailable";
// What LIST UPS calls a UPS that has not named itself.
constexpr std::string_view kDefaultDescription = "Veltrano";

// The protocol's words and names are ASCII: no locale, and no library call
// per character on the path of every request.
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Takes as long for a wrong secret as for a right one of the same length, so
// the time of the answer tells nothing of how much of it was right.
bool SameSecret(std::string_view offered, std::string_view stored) {
    const size_t length = std::max(offered.size(), stored.size());
    unsigned difference = offered.size() == stored.size() ? 0u : 1u;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char a = i < offered.size() ? static_cast<unsigned char>(offered[i]) : 0;
        const unsigned char b = i < stored.size() ? static_cast<unsigned char>(stored[i]) : 0;
        difference |= static_cast<unsigned>(a ^ b);
    }
    return difference == 0;
}

std::string Line(std::string text) {
    text += '\n';
    return text;
}

void AppendQuoted(std::string& out, std::string_view value) {
    out += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

// "VAR ups name "value"", as GET VAR and LIST VAR give it, built in one
// buffer since every request for a reading makes one.
std::string VariableLine(std::string_view ups, const NutVariable& v) {
    std::string line;
    line.reserve(12 + ups.size() + v.name.size() + v.value.size());  // room for a few escapes
    line.append("VAR ").append(ups).append(" ").append(v.name).append(" ");
    AppendQuoted(line, v.value);
    line += '\n';
    return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What ends a run of plain characters: a quote or a backslash (1) anywhere,
// a blank (2) outside quotes. A table: this is looked up for every character.
constexpr std::array<unsigned char, 256> kRunEnds = [] {
    std::array<unsigned char, 256> ends{};
    ends['"'] = ends['\\'] = 1;
    ends[' '] = ends['\t'] = 2;
    return ends;
}();

// The word starting at `i`, up to a blank outside quotes, into `word`; false
// for an unterminated quote or a trailing backslash. Runs of plain
// characters go in at once: this runs for every request.
bool TakeWord(std::string_view line, size_t& i, std::string& word) {
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
        if (line[i] == '\\') {
            if (++i == line.size()) return false;
            word += line[i];
        } else if (line[i] == '"') {
            quoted = !quoted;
        } else {
            const unsigned char endsHere = quoted ? 1 : 3;
            size_t end = i + 1;
            while (end < line.size() && !(kRunEnds[static_cast<unsigned char>(line[end])] & endsHere)) ++end;
            word.append(line.data() + i, end - i);
            i = end - 1;
        }
    }
    return !quoted;
}

std::string Framed(const std::string& query, const std::string& items) {
    return "BEGIN LIST " + query + "\n" + items + "END LIST " + query + "\n";
}

struct Description {
    std::string_view name, text;
};

constexpr std::array kDescriptions{
    Description{"ups.status", "UPS status"},
    Description{"input.voltage", "Input voltage (V)"},
    Description{"input.voltage.fault", "Input voltage before the last transfer (V)"},
    Description{"output.voltage", "Output voltage (V)"},
    Description{"ups.load", "Load on UPS (percent)"},
    Description{"input.frequency", "Input line frequency (Hz)"},
    Description{"battery.voltage", "Battery voltage (V)"},
    Description{"battery.charge", "Battery charge (percent)"},
    Description{"battery.voltage.nominal", "Nominal battery voltage (V)"},
    Description{"battery.voltage.high", "Battery voltage when full (V)"},
    Description{"battery.voltage.low", "Battery voltage when low (V)"},
    Description{"ups.temperature", "UPS temperature (degrees C)"},
    Description{"ups.beeper.status", "UPS beeper status"},
    Description{"ups.mfr", "UPS manufacturer"},
    Description{"ups.model", "UPS model"},
    Description{"ups.firmware", "UPS firmware"},
    Description{"ups.vendorid", "Vendor ID for USB devices"},
    Description{"ups.productid", "Product ID for USB devices"},
    Description{"device.type", "Device type"},
    Description{"device.serial", "Device serial number"},
    Description{"device.mfr", "Device manufacturer"},
    Description{"device.model", "Device model"},
    Description{"driver.name", "Driver name"},
    Description{"driver.version", "Driver version"},
};

}  // namespace

std::string_view NutErrorWord(NutError error) {
    switch (error) {
        case NutError::UnknownUps: return "UNKNOWN-UPS";
        case NutError::VarNotSupported: return "VAR-NOT-SUPPORTED";
        case NutError::CmdNotSupported: return "CMD-NOT-SUPPORTED";
        case NutError::UnknownCommand: return "UNKNOWN-COMMAND";
        case NutError::AccessDenied: return "ACCESS-DENIED";
        case NutError::DataStale: return "DATA-STALE";
        case NutError::InvalidArgument: return "INVALID-ARGUMENT";
        case NutError::UsernameRequired: return "USERNAME-REQUIRED";
        case NutError::PasswordRequired: return "PASSWORD-REQUIRED";
        case NutError::AlreadyLoggedIn: return "ALREADY-LOGGED-IN";
        case NutError::AlreadyAttached: return "ALREADY-ATTACHED";
        case NutError::AlreadySetUsername: return "ALREADY-SET-USERNAME";
        case NutError::AlreadySetPassword: return "ALREADY-SET-PASSWORD";
        case NutError::InvalidUsername: return "INVALID-USERNAME";
        case NutError::InvalidPassword: return "INVALID-PASSWORD";
        case NutError::FeatureNotConfigured: return "FEATURE-NOT-CONFIGURED";
        case NutError::Readonly: return "READONLY";
        case NutError::InstcmdFailed: return "INSTCMD-FAILED";
    }
    return "UNKNOWN";
}

std::string NutErrorLine(NutError error) { return Line("ERR " + std::string(NutErrorWord(error))); }

std::optional<std::vector<std::string>> NutTokenize(std::string_view line) {
    std::vector<std::string> words;
    words.reserve(4);  // enough for the usual request
    for (size_t i = 0;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) return words;
        if (!TakeWord(line, i, words.emplace_back())) return std::nullopt;
    }
}

std::string NutQuote(std::string_view value) {
    std::string quoted;
    AppendQuoted(quoted, value);
    return quoted;
}

std::string_view NutVariableDescription(std::string_view name) {
    for (const auto& d : kDescriptions)
        if (d.name == name) return d.text;
    return kUnavailable;
}

NutSession::NutSession(INutSessionContext& context) : context_(context) {}

NutReply NutSession::Feed(std::string_view line) {
    const auto words = NutTokenize(line);
    if (!words) return {NutErrorLine(NutError::InvalidArgument)};
    if (words->empty()) return {};
    return Dispatch(*words);
}

NutReply NutSession::Dispatch(const Words& words) {
    const std::string& command = words[0];
    if (SameWord(command, "GET")) return {Get(words)};
    if (SameWord(command, "LIST")) return {List(words)};
    if (SameWord(command, "VER")) return {"Veltrano network UPS server\n"};
    if (SameWord(command, "NETVER") || SameWord(command, "PROTVER")) return {"1.3\n"};
    if (SameWord(command, "HELP"))
        return {"Commands: HELP VER NETVER PROTVER GET LIST SET INSTCMD LOGIN ATTACH LOGOUT DETACH USERNAME "
                "PASSWORD PRIMARY MASTER FSD STARTTLS\n"};
    if (SameWord(command, "USERNAME"))
        return {SetCredential(words, username_, NutError::AlreadySetUsername, NutError::InvalidUsername)};
    if (SameWord(command, "PASSWORD"))
        return {SetCredential(words, password_, NutError::AlreadySetPassword, NutError::InvalidPassword)};
    if (SameWord(command, "LOGIN")) return {Login(words, NutError::AlreadyLoggedIn)};
    if (SameWord(command, "ATTACH")) return {Login(words, NutError::AlreadyAttached)};
    if (SameWord(command, "LOGOUT") || SameWord(command, "DETACH")) {
        loggedIn_ = false;
        return {"OK Goodbye\n", true};
    }
    if (SameWord(command, "PRIMARY") || SameWord(command, "MASTER")) return {Primary(words)};
    if (SameWord(command, "FSD")) return {ForcedShutdown(words)};
    if (SameWord(command, "SET")) return {words.size() >= 2 && SameWord(words[1], "TRACKING") ? SetTracking(words)
                                                                                             : SetVariable(words)};
    if (SameWord(command, "INSTCMD")) return {InstantCommand(words)};
    if (SameWord(command, "STARTTLS")) return {NutErrorLine(NutError::FeatureNotConfigured)};
    return {NutErrorLine(NutError::UnknownCommand)};
}

std::string NutSession::List(const Words& words) {
    if (words.size() < 2) return NutErrorLine(NutError::InvalidArgument);
    const std::string& what = words[1];
    if (SameWord(what, "UPS"))
        return Framed("UPS", "UPS " + context_.Config().upsName + " " + NutQuote(Description()) + "\n");
    if (words.size() < 3) return NutErrorLine(NutError::InvalidArgument);
    const std::string& ups = words[2];
    if (!KnownUps(ups)) return NutErrorLine(NutError::UnknownUps);
    if (SameWord(what, "VAR")) return ListVariables(ups);
    if (SameWord(what, "CLIENT")) return ListClients(ups);
    if (SameWord(what, "CMD")) return ListCommands(ups);
    if (SameWord(what, "RW")) return Framed(what + " " + ups, "");
    if (SameWord(what, "ENUM") || SameWord(what, "RANGE")) return ListEmpty(words);
    return NutErrorLine(NutError::InvalidArgument);
}

std::string NutSession::ListVariables(const std::string& ups) {
    const NutSnapshot& snapshot = context_.Snapshot();
    if (snapshot.stale) return NutErrorLine(NutError::DataStale);
    std::string items;
    for (const auto& v : snapshot.variables) items += VariableLine(ups, v);
    return Framed("VAR " + ups, items);
}

// No variable here is writable, so none has values to choose from.
std::string NutSession::ListEmpty(const Words& words) {
    if (words.size() < 4) return NutErrorLine(NutError::InvalidArgument);
    const NutVariable* v = Find(context_.Snapshot(), words[3]);
    if (!v) return NutErrorLine(NutError::VarNotSupported);
    return Framed(words[1] + " " + words[2] + " " + v->name, "");
}

std::string NutSession::ListClients(const std::string& ups) {
    std::string items;
    for (const auto& address : context_.LoggedInAddresses()) items += "CLIENT " + ups + " " + address + "\n";
    return Framed("CLIENT " + ups, items);
}

std::string NutSession::Get(const Words& words) {
    if (words.size() >= 2 && SameWord(words[1], "TRACKING")) return GetTracking(words);
    if (words.size() < 3) return NutErrorLine(NutError::InvalidArgument);
    const std::string& what = words[1];
    const std::string& ups = words[2];
    if (!KnownUps(ups)) return NutErrorLine(NutError::UnknownUps);
    if (SameWord(what, "UPSDESC")) return "UPSDESC " + ups + " " + NutQuote(Description()) + "\n";
    if (SameWord(what, "NUMLOGINS") || SameWord(what, "NUMATTACH")) return CountLogins(what, ups);
    if (words.size() < 4) return NutErrorLine(NutError::InvalidArgument);
    const std::string& name = words[3];
    if (SameWord(what, "VAR")) return GetVariable(ups, name);
    if (SameWord(what, "TYPE") || SameWord(what, "DESC")) return GetVariableFact(what, ups, name);
    if (SameWord(what, "CMDDESC")) return CommandDescription(ups, name);
    return NutErrorLine(NutError::InvalidArgument);
}

std::string NutSession::CountLogins(const std::string& what, const std::string& ups) {
    const char* word = SameWord(what, "NUMLOGINS") ? "NUMLOGINS " : "NUMATTACH ";
    return word + ups + " " + std::to_string(context_.LoggedInAddresses().size()) + "\n";
}

std::string NutSession::GetVariable(const std::string& ups, const std::string& name) {
    const NutSnapshot& snapshot = context_.Snapshot();
    if (snapshot.stale) return NutErrorLine(NutError::DataStale);
    const NutVariable* v = Find(snapshot, name);
    if (!v) return NutErrorLine(NutError::VarNotSupported);
    return VariableLine(ups, *v);
}

// TYPE and DESC describe a variable rather than read it, so they answer
// while the readings are stale too.
std::string NutSession::GetVariableFact(const std::string& what, const std::string& ups, const std::string& name) {
    const NutVariable* v = Find(context_.Snapshot(), name);
    if (!v) return NutErrorLine(NutError::VarNotSupported);
    if (SameWord(what, "TYPE")) return "TYPE " + ups + " " + v->name + " " + NutType(*v) + "\n";
    return "DESC " + ups + " " + v->name + " " + NutQuote(NutVariableDescription(v->name)) + "\n";
}

std::string NutSession::SetVariable(const Words& words) {
    if (words.size() < 5 || !SameWord(words[1], "VAR")) return NutErrorLine(NutError::InvalidArgument);
    if (!KnownUps(words[2])) return NutErrorLine(NutError::UnknownUps);
    if (!Find(context_.Snapshot(), words[3])) return NutErrorLine(NutError::VarNotSupported);
    return NutErrorLine(NutError::Readonly);
}

// As a NUT server checks them: the UPS, whether it has the command, then
// the user. Every refused credential is ACCESS-DENIED here, as clients that
// run commands expect; a wrong one counts towards the peer's block.
std::string NutSession::InstantCommand(const Words& words) {
    if (words.size() < 3) return NutErrorLine(NutError::InvalidArgument);
    if (!KnownUps(words[1])) return NutErrorLine(NutError::UnknownUps);
    const NutInstantCommand* command = Offered(words[2]);
    if (!command) return NutErrorLine(NutError::CmdNotSupported);
    if (words.size() > 3) return NutErrorLine(NutError::InvalidArgument);  // none of them takes a value
    if (Authenticate(words[1])) return NutErrorLine(NutError::AccessDenied);
    const std::string id = context_.RunInstantCommand(command->name);
    return tracking_ ? "OK TRACKING " + id + "\n" : "OK\n";
}

std::string NutSession::ListCommands(const std::string& ups) {
    std::string items;
    if (context_.Config().commands)
        for (const auto& command : NutInstantCommands())
            items.append("CMD ").append(ups).append(" ").append(command.name) += '\n';
    return Framed("CMD " + ups, items);
}

std::string NutSession::CommandDescription(const std::string& ups, const std::string& name) {
    const NutInstantCommand* command = Offered(name);
    if (!command) return NutErrorLine(NutError::CmdNotSupported);
    return "CMDDESC " + ups + " " + std::string(command->name) + " " + NutQuote(command->description) + "\n";
}

std::string NutSession::SetTracking(const Words& words) {
    if (words.size() != 3 || !(SameWord(words[2], "ON") || SameWord(words[2], "OFF")))
        return NutErrorLine(NutError::InvalidArgument);
    tracking_ = SameWord(words[2], "ON");
    return "OK\n";
}

// Without an id, whether tracking is on; with one, how that command went.
std::string NutSession::GetTracking(const Words& words) {
    if (words.size() == 2) return tracking_ ? "ON\n" : "OFF\n";
    if (words.size() != 3) return NutErrorLine(NutError::InvalidArgument);
    const auto state = context_.CommandState(words[2]);
    if (!state) return NutErrorLine(NutError::InvalidArgument);
    switch (*state) {
        case NutCommandState::Pending: return "PENDING\n";
        case NutCommandState::Success: return "SUCCESS\n";
        case NutCommandState::Failed: break;
    }
    return NutErrorLine(NutError::InstcmdFailed);
}

const NutInstantCommand* NutSession::Offered(std::string_view name) {
    return context_.Config().commands ? FindNutInstantCommand(name) : nullptr;
}

// USERNAME and PASSWORD: each is given once per connection, and not empty.
std::string NutSession::SetCredential(const Words& words, std::optional<std::string>& slot, NutError alreadySet,
                                       NutError invalid) {
    if (words.size() < 2) return NutErrorLine(NutError::InvalidArgument);
    if (slot) return NutErrorLine(alreadySet);
    if (words[1].empty()) return NutErrorLine(invalid);
    slot = words[1];
    return "OK\n";
}

// LOGIN and ATTACH; `already` is the refusal of a second one in that command's words.
std::string NutSession::Login(const Words& words, NutError already) {
    if (words.size() < 2) return NutErrorLine(NutError::InvalidArgument);
    if (loggedIn_) return NutErrorLine(already);
    if (const auto refusal = Authenticate(words[1])) return NutErrorLine(*refusal);
    loggedIn_ = true;
    return "OK\n";
}

std::string NutSession::Primary(const Words& words) {
    if (words.size() < 2) return NutErrorLine(NutError::InvalidArgument);
    if (const auto refusal = Authenticate(words[1])) return NutErrorLine(*refusal);
    return SameWord(words[0], "MASTER") ? "OK MASTER-GRANTED\n" : "OK PRIMARY-GRANTED\n";
}

std::string NutSession::ForcedShutdown(const Words& words) {
    if (words.size() < 2) return NutErrorLine(NutError::InvalidArgument);
    if (const auto refusal = Authenticate(words[1])) return NutErrorLine(*refusal);
    context_.ForceShutdown();
    return "OK FSD-SET\n";
}

bool NutSession::KnownUps(std::string_view name) const {
    return SameWord(name, context_.Config().upsName) || SameWord(name, kAliasUps);
}

// Both secrets are compared, in constant time, even when the first differs.
// With no user configured nobody gets in. A peer that guessed too often is
// refused before anything is compared.
std::optional<NutError> NutSession::Authenticate(std::string_view ups) {
    if (context_.LoginsBlocked()) return NutError::AccessDenied;
    if (!username_) return NutError::UsernameRequired;
    if (!password_) return NutError::PasswordRequired;
    if (!KnownUps(ups)) return NutError::UnknownUps;
    const NutConfig& config = context_.Config();
    const bool userMatches = SameSecret(*username_, config.user);
    const bool passwordMatches = SameSecret(*password_, config.password);
    if (!config.user.empty() && (userMatches & passwordMatches)) return std::nullopt;
    context_.LoginFailed();
    return NutError::AccessDenied;
}

// The UPS's own name once it has given one, else the configured one.
std::string NutSession::Description() const {
    const NutSnapshot& snapshot = context_.Snapshot();
    if (!snapshot.description.empty()) return snapshot.description;
    const NutConfig& config = context_.Config();
    return config.description.empty() ? std::string(kDefaultDescription) : config.description;
}

const NutVariable* NutSession::Find(const NutSnapshot& snapshot, std::string_view name) const {
    for (const auto& v : snapshot.variables)
        if (SameWord(v.name, name)) return &v;
    return nullptr;
}

}  // namespace velt
