#pragma once
// The NUT network protocol (RFC 9271, the "upsd" line protocol) for one UPS:
// its words, its quoting, and one connection's conversation as a state
// machine that takes a line and gives the reply. No sockets here; the server
// feeds it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/nut_instant_commands.h"
#include "net/nut_tracking.h"
#include "reports/nut_variables.h"

namespace velt {

struct NutConfig {
    std::string upsName = "ups";
    std::string user, password;  // no login at all while user is empty
    std::string allowedHosts;    // see nut_hosts.h
    std::string description;     // GET UPSDESC, LIST UPS while the UPS has not named itself
    bool commands = false;       // the UPS's instant commands are offered
};

struct NutSnapshot {
    bool stale = true;  // the UPS is not answering: its readings are not served
    std::vector<NutVariable> variables;
    std::string description;  // the UPS as it names itself; empty while it has not
};

// The error words a client may meet, as they go on the wire after "ERR ".
enum class NutError {
    UnknownUps,
    VarNotSupported,
    CmdNotSupported,
    UnknownCommand,
    AccessDenied,
    DataStale,
    InvalidArgument,
    UsernameRequired,
    PasswordRequired,
    AlreadyLoggedIn,
    AlreadyAttached,
    AlreadySetUsername,
    AlreadySetPassword,
    InvalidUsername,
    InvalidPassword,
    FeatureNotConfigured,
    Readonly,
    InstcmdFailed,
};
std::string_view NutErrorWord(NutError error);
// "ERR WORD\n".
std::string NutErrorLine(NutError error);

// Splits a request line into its words: blanks separate them, double quotes
// hold a word with blanks, a backslash takes the next character as it is.
// Nothing for an unterminated quote or a trailing backslash.
std::optional<std::vector<std::string>> NutTokenize(std::string_view line);
// The value in double quotes, with quotes and backslashes escaped.
std::string NutQuote(std::string_view value);

// The description GET DESC gives for a variable, "Unavailable" for others.
std::string_view NutVariableDescription(std::string_view name);

// What a session reads and changes outside itself; called only from Feed.
class INutSessionContext {
public:
    virtual ~INutSessionContext() = default;
    // The settings as they are now; the reference holds until Feed returns.
    virtual const NutConfig& Config() = 0;
    // The UPS as it is now; the reference holds until Feed returns.
    virtual const NutSnapshot& Snapshot() = 0;
    // The peer addresses of the connections logged in to the UPS, this one included.
    virtual std::vector<std::string> LoggedInAddresses() = 0;
    // A primary's FSD: the UPS is about to lose power.
    virtual void ForceShutdown() = 0;
    // This peer has guessed wrong too often of late: its logins are refused unchecked.
    virtual bool LoginsBlocked() = 0;
    // This peer gave a wrong user or password.
    virtual void LoginFailed() = 0;
    // Hands an offered instant command over to be run on the UPS, without
    // waiting for it; the id its outcome is tracked by.
    virtual std::string RunInstantCommand(std::string_view name) = 0;
    // None for an id not known (any more).
    virtual std::optional<NutCommandState> CommandState(const std::string& id) = 0;
};

struct NutReply {
    std::string text;    // whole lines, each ending in "\n"; empty for an empty request
    bool close = false;  // after the text is sent
};

// One connection's conversation. Reading needs no login; LOGIN (or ATTACH),
// PRIMARY (or MASTER), FSD and INSTCMD need USERNAME and PASSWORD matching
// the ones stored at the time they are asked. ATTACH, DETACH, PROTVER and
// NUMATTACH are RFC 9271's names for LOGIN, LOGOUT, NETVER and NUMLOGINS.
class NutSession {
public:
    explicit NutSession(INutSessionContext& context);

    // One request line, without its line end.
    NutReply Feed(std::string_view line);
    bool LoggedIn() const { return loggedIn_; }

private:
    using Words = std::vector<std::string>;
    NutReply Dispatch(const Words& words);
    std::string List(const Words& words);
    std::string Get(const Words& words);
    std::string ListVariables(const std::string& ups);
    std::string ListEmpty(const Words& words);
    std::string ListClients(const std::string& ups);
    std::string CountLogins(const std::string& what, const std::string& ups);
    std::string GetVariable(const std::string& ups, const std::string& name);
    std::string GetVariableFact(const std::string& what, const std::string& ups, const std::string& name);
    std::string SetVariable(const Words& words);
    std::string InstantCommand(const Words& words);
    std::string ListCommands(const std::string& ups);
    std::string CommandDescription(const std::string& ups, const std::string& name);
    std::string SetTracking(const Words& words);
    std::string GetTracking(const Words& words);
    const NutInstantCommand* Offered(std::string_view name);
    static std::string SetCredential(const Words& words, std::optional<std::string>& slot, NutError alreadySet,
                                     NutError invalid);
    std::string Login(const Words& words, NutError already);
    std::string Primary(const Words& words);
    std::string ForcedShutdown(const Words& words);

    bool KnownUps(std::string_view name) const;
    // The check shared by LOGIN, PRIMARY and FSD; nothing when they may go on.
    std::optional<NutError> Authenticate(std::string_view ups);
    std::string Description() const;
    const NutVariable* Find(const NutSnapshot& snapshot, std::string_view name) const;

    INutSessionContext& context_;
    std::optional<std::string> username_, password_;
    bool loggedIn_ = false;
    bool tracking_ = false;  // INSTCMD answers with the id of its outcome
};

}  // namespace velt
