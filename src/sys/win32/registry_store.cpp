#include "sys/win32/registry_store.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace velt::win {
namespace {

// Enough for a value that grows between the size query and the read a few times.
constexpr int kStringReadAttempts = 4;

struct ValueShape {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    DWORD size = 0;
};

ValueShape QueryShape(HKEY key, const std::string& name) {
    ValueShape s;
    s.status = ::RegQueryValueExA(key, name.c_str(), nullptr, &s.type, nullptr, &s.size);
    return s;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

const char* SubKeyOf(const std::string& path) {
    const char* p = path.c_str();
    while (*p == '\\') ++p;
    return p;
}

}  // namespace

bool RegistryKey::ValueExists(const std::string& name) {
    return QueryShape(key_.get(), name).status == ERROR_SUCCESS;
}

ReadResult RegistryKey::ReadDword(const std::string& name, uint32_t& out) {
    const ValueShape shape = QueryShape(key_.get(), name);
    if (shape.status != ERROR_SUCCESS) return ReadResult::Absent;
    if (shape.type != REG_DWORD || shape.size != sizeof(DWORD)) return ReadResult::WrongType;
    DWORD value = 0, type = REG_NONE, size = sizeof value;
    const LONG rc = ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    // Changed by someone else since the shape query.
    if (rc == ERROR_MORE_DATA) return ReadResult::WrongType;
    if (rc != ERROR_SUCCESS) return ReadResult::Absent;
    if (type != REG_DWORD || size != sizeof value) return ReadResult::WrongType;
    out = value;
    return ReadResult::Ok;
}

ReadResult RegistryKey::ReadString(const std::string& name, std::string& out) {
    ValueShape shape = QueryShape(key_.get(), name);
    if (shape.status != ERROR_SUCCESS) return ReadResult::Absent;
    if (!IsStringType(shape.type)) return ReadResult::WrongType;
    std::vector<char> buf;
    for (int attempt = 0; attempt < kStringReadAttempts; ++attempt) {
        // One spare byte, so text stored without its terminator still ends.
        buf.assign(shape.size + 1, '\0');
        DWORD type = REG_NONE, size = shape.size;
        const LONG rc =
            ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        if (rc == ERROR_MORE_DATA) {
            shape.size = size;
            continue;
        }
        if (rc != ERROR_SUCCESS) return ReadResult::Absent;
        if (!IsStringType(type)) return ReadResult::WrongType;
        const auto data = buf.begin();
        out.assign(data, std::find(data, data + std::min<size_t>(size, buf.size()), '\0'));
        return ReadResult::Ok;
    }
    return ReadResult::Absent;
}

bool RegistryKey::WriteDword(const std::string& name, uint32_t value) {
    const DWORD v = value;
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
           ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value) {
    // With its terminator, as REG_SZ expects.
    const DWORD size = static_cast<DWORD>(std::strlen(value.c_str()) + 1);
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size) ==
           ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) {
    const LONG rc = ::RegDeleteValueA(key_.get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::unique_ptr<ISettingsKey> RegistryStore::OpenKey(const std::string& path, KeyOpen mode) {
    const char* sub = SubKeyOf(path);
    const REGSAM kAccess[] = {KEY_READ | KEY_WRITE, KEY_READ};
    HKEY h = nullptr;
    for (const REGSAM access : kAccess) {
        const LONG rc = mode == KeyOpen::CreateIfMissing
                            ? ::RegCreateKeyExA(root_, sub, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                                nullptr, &h, nullptr)
                            : ::RegOpenKeyExA(root_, sub, 0, access, &h);
        if (rc == ERROR_SUCCESS) return std::make_unique<RegistryKey>(RegKey(h), (access & KEY_WRITE) == KEY_WRITE);
        if (rc != ERROR_ACCESS_DENIED) break;
    }
    return nullptr;
}

}  // namespace velt::win
