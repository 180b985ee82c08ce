#include "core/nut_ups_name.h"

#include <algorithm>

namespace velt {

namespace {

// ASCII only: the classification must not follow the user's code page.
bool NameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

}  // namespace

bool NutUpsNameCharactersValid(std::string_view name) { return std::all_of(name.begin(), name.end(), NameCharacter); }

bool NutUpsNameUsable(std::string_view name) { return !name.empty() && NutUpsNameCharactersValid(name); }

std::string NutUpsNameOrDefault(const std::string& name) {
    return NutUpsNameUsable(name) ? name : std::string(kDefaultNutUpsName);
}

}  // namespace velt
