#pragma once
// How a command-line run of the program (the service's install and removal)
// tells its outcome: to the output or error handle its parent gave, else to
// the console it was started from; a failure with neither goes to a message
// box, and a success with neither stays silent (an installer's run).
#include <string>

namespace velt::ui {

void TellCommandOutcome(const std::string& line, bool failure);

}  // namespace velt::ui
