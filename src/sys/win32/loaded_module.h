#pragma once
// A library loaded by name for a few optional entry points, freed with its owner.
#include <windows.h>

namespace velt::win {

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
        if (!module_) return nullptr;
        // Through a plain function pointer type: compilers accept that cast
        // between unrelated function pointer types without complaint.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

}  // namespace velt::win
