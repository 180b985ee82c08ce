#pragma once
// The data lock guarding TUPSLink: recursive for its holder, shared by the main
// thread and the I/O worker. On Windows it is a critical section of the process.

namespace velt {

class IDataLock {
public:
    virtual ~IDataLock() = default;
    virtual void Lock() = 0;    // waits without a time limit, as the holders are bounded
    virtual void Unlock() = 0;
};

class DataLockGuard {
public:
    explicit DataLockGuard(IDataLock& lock) : lock_(lock) { lock_.Lock(); }
    ~DataLockGuard() { lock_.Unlock(); }
    DataLockGuard(const DataLockGuard&) = delete;
    DataLockGuard& operator=(const DataLockGuard&) = delete;

private:
    IDataLock& lock_;
};

}  // namespace velt
