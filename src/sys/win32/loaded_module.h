#pragma once
// A library loaded by name for a few optional entry points, freed with its owner.
#include <windows.h>

namespace velt::win {

// An entry point by name, as the caller's function type; null when the module
// is not loaded or lacks it. Through void(*)(): the one cast between function
// types compilers accept silently.
template <typename Fn>
Fn FindEntryPoint(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

class LoadedModule {
public:
    explicit LoadedModule(const char* name) : module_(::LoadLibraryA(name)) {}
    ~LoadedModule() {
        if (module_) ::FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    // Null when the library is not loaded or lacks the entry point.
    template <typename Fn>
    Fn Find(const char* name) const {
        return FindEntryPoint<Fn>(module_, name);
    }

private:
    HMODULE module_;
};

}  // namespace velt::win
