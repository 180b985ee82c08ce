#pragma once
// Move-only owners for the system's handles: each closes its handle exactly once,
// with the function that belongs to its kind.
#include <windows.h>
#include <setupapi.h>

#include <utility>

namespace velt::win {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const { return h_; }
    bool valid() const { return Traits::Valid(h_); }
    explicit operator bool() const { return valid(); }

    Type release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(Type h = Traits::Invalid()) {
        const Type old = std::exchange(h_, h);
        if (Traits::Valid(old)) Traits::Close(old);
    }

private:
    Type h_ = Traits::Invalid();
};

// Kernel objects: CreateFile gives INVALID_HANDLE_VALUE on failure, CreateMutex
// gives null; both count as "no handle".
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct DevInfoListTraits {
    using Type = HDEVINFO;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::SetupDiDestroyDeviceInfoList(h); }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

using Handle = UniqueHandle<KernelHandleTraits>;
using DevInfoList = UniqueHandle<DevInfoListTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using Icon = UniqueHandle<IconTraits>;

}  // namespace velt::win
