#pragma once
// The name the NUT server gives its UPS. Clients split "ups@host:port" and
// their listings at blanks, '@' and ':', so a name holds only letters,
// digits, '.', '_' and '-'.
#include <string>
#include <string_view>

namespace velt {

inline constexpr std::string_view kDefaultNutUpsName = "ups";

// Every character one a client can split around; an empty text passes (the
// field may be empty while the user types).
bool NutUpsNameCharactersValid(std::string_view name);
// A name the server can use: not empty, and only those characters.
bool NutUpsNameUsable(std::string_view name);
// The name the server answers to: the given one when usable, else "ups".
std::string NutUpsNameOrDefault(const std::string& name);

}  // namespace velt
