#pragma once
// Settings store seam, shaped like the per-user registry: keys by path, named
// values of three kinds. Reads check the stored kind, so a value of another
// type is told apart from a missing one and never misread.
#include <cstdint>
#include <memory>
#include <string>

namespace velt {

enum class ReadResult {
    Ok,
    Absent,     // no such value, or it could not be read at all
    WrongType,  // present, but stored as another kind
};

// One open key; destroying it closes the key.
class ISettingsKey {
public:
    virtual ~ISettingsKey() = default;

    virtual bool ValueExists(const std::string& name) = 0;
    // `out` is left untouched unless the result is Ok.
    virtual ReadResult ReadDword(const std::string& name, uint32_t& out) = 0;
    virtual ReadResult ReadString(const std::string& name, std::string& out) = 0;
    // False when the store refused the write.
    virtual bool WriteDword(const std::string& name, uint32_t value) = 0;
    virtual bool WriteString(const std::string& name, const std::string& value) = 0;
    // False when the value existed and could not be deleted.
    virtual bool DeleteValue(const std::string& name) = 0;
    // False for a key opened for reading only: every write would be refused.
    virtual bool Writable() const { return true; }

    // Booleans are DWORDs: written as 0 or 1, any non-zero reads as true.
    ReadResult ReadBool(const std::string& name, bool& out) {
        uint32_t v = 0;
        const ReadResult r = ReadDword(name, v);
        if (r == ReadResult::Ok) out = v != 0;
        return r;
    }
    bool WriteBool(const std::string& name, bool value) { return WriteDword(name, value ? 1u : 0u); }
};

enum class KeyOpen { Existing, CreateIfMissing };

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // `path` is below the per-user root, e.g. "\Software\Quorvane\Veltrano".
    // Null when the key cannot be opened (or does not exist and may not be created).
    virtual std::unique_ptr<ISettingsKey> OpenKey(const std::string& path, KeyOpen mode) = 0;
};

}  // namespace velt
