#pragma once
// veltrano.exe /install-service and /remove-service, run before anything else
// the program does, so they work while the window runs.
#include <optional>
#include <string>
#include <vector>

namespace velt::ui {

// The process's exit code when `params` hold one of the two switches (the
// command has then run and told its outcome); nullopt otherwise.
std::optional<int> RunServiceCommand(const std::vector<std::string>& params);

}  // namespace velt::ui
