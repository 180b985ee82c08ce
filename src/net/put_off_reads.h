#pragma once
// Connections' next reads put off to the end of the next turn of a server's
// loop (a turn: the handlers that were ready together). A read started as
// soon as a reply is out meets an empty socket, since the client has not
// answered yet, and costs a system call for nothing; by two turns on the
// client has mostly answered, and the read takes its request at once.
// On the server's thread only.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "net/asio.h"

namespace velt {

// Connection: has ReadAgain(), which starts its next read unless it closed.
template <class Connection>
class PutOffReads {
public:
    // `turnEnded` runs at the end of each turn while reads are put off,
    // before the due ones start; it must not throw.
    explicit PutOffReads(std::function<void()> turnEnded) : turnEnded_(std::move(turnEnded)) {}

    // Holds `connection` until its ReadAgain at the end of the next turn.
    // While any is held an end of turn is posted, so none is left held once
    // the executor's context has run out of work (a held connection must
    // not outlive its socket's context). A throw from here holds nothing new.
    // One parked from a ReadAgain waits like any other.
    template <class Executor>
    void Park(std::shared_ptr<Connection> connection, const Executor& executor) {
        if (!endPosted_) PostEnd(executor);
        parked_.push_back(std::move(connection));
    }

    // An end of turn is posted: what the turn shares holds until then.
    bool TurnOpen() const { return endPosted_; }

private:
    // Posted behind the handlers ready now, it runs once they are through.
    template <class Executor>
    void PostEnd(const Executor& executor) {
        boost::asio::post(executor, [this, executor] { EndTurn(executor); });
        endPosted_ = true;
    }

    // The parked become due, the due start. On a throw (out of memory, say)
    // the connections not started are let go, and end unless a pending
    // operation holds them; so are the due ones if no end could be posted,
    // since a connection must not be held with no end to come.
    template <class Executor>
    void EndTurn(const Executor& executor) {
        endPosted_ = false;
        turnEnded_();
        std::swap(due_, starting_);
        std::swap(parked_, due_);
        try {
            if (!due_.empty()) PostEnd(executor);
            for (const auto& c : starting_) c->ReadAgain();
        } catch (...) {
            starting_.clear();
            if (!endPosted_) due_.clear();
            throw;
        }
        starting_.clear();
    }

    const std::function<void()> turnEnded_;
    std::vector<std::shared_ptr<Connection>> parked_, due_, starting_;
    bool endPosted_ = false;
};

}  // namespace velt
