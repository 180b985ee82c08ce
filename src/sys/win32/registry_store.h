#pragma once
// The settings store on the registry, in ANSI: under HKEY_CURRENT_USER for the
// window, under HKEY_LOCAL_MACHINE for the service's machine-wide settings.
#include <windows.h>

#include <memory>
#include <string>

#include "sys/settings_store.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
using RegKey = UniqueHandle<RegKeyTraits>;

class RegistryKey final : public ISettingsKey {
public:
    RegistryKey(RegKey key, bool writable) : key_(std::move(key)), writable_(writable) {}

    bool ValueExists(const std::string& name) override;
    // Only REG_DWORD of exactly four bytes.
    ReadResult ReadDword(const std::string& name, uint32_t& out) override;
    // REG_SZ, or REG_EXPAND_SZ taken as it stands; the text ends at its first
    // zero or at the data's end when the terminator is missing.
    ReadResult ReadString(const std::string& name, std::string& out) override;
    bool WriteDword(const std::string& name, uint32_t value) override;
    bool WriteString(const std::string& name, const std::string& value) override;
    bool DeleteValue(const std::string& name) override;
    bool Writable() const override { return writable_; }

private:
    RegKey key_;
    bool writable_;
};

class RegistryStore final : public ISettingsStore {
public:
    // The store does not own `root`: it is one of the predefined keys.
    explicit RegistryStore(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    // Leading backslashes are dropped: the registry takes paths relative to the root.
    // A key that may not be written is opened for reading, so reads still work
    // and writes are refused one by one.
    std::unique_ptr<ISettingsKey> OpenKey(const std::string& path, KeyOpen mode) override;

private:
    HKEY root_;
};

}  // namespace velt::win
