#pragma once
// The SMTP servers of smtp_peer.py, started for one test, and what they report.
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <chrono>
#include <sstream>
#include <string>

#include "python_child.h"

namespace velt::test {

using boost::property_tree::ptree;

inline ptree ParseJson(const std::string& text) {
    ptree tree;
    std::istringstream in(text);
    boost::property_tree::read_json(in, tree);
    return tree;
}

// The servers of smtp_peer.py and what they report.
class SmtpPeer {
public:
    SmtpPeer() {
        const auto ready = child_.ReadLine(std::chrono::seconds(10));
        if (ready && ready->rfind("READY ", 0) == 0) ports_ = ParseJson(ready->substr(6));
    }
    bool Started() const { return !ports_.empty(); }
    std::string Port(const std::string& server) const { return ports_.get<std::string>(server); }
    // The next message accepted or line received, or an empty tree.
    ptree Next() {
        const auto line = child_.ReadLine(std::chrono::seconds(2));
        return line ? ParseJson(*line) : ptree();
    }

private:
    PythonChild child_{VELTRANO_SOURCE_DIR "/tests/unit/smtp_peer.py", {}};
    ptree ports_;
};

}  // namespace velt::test
