#pragma once
// An in-memory settings store for tests. It can hold values of a type the
// program never writes (to test the type check), refuse chosen writes and
// deletions, refuse to open chosen keys, and it journals every change in order.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sys/settings_store.h"

namespace velt::test {

struct StoredValue {
    enum class Type { Dword, String, Binary } type = Type::Dword;
    uint32_t dword = 0;
    std::string text;

    static StoredValue Dword(uint32_t v) { return {Type::Dword, v, {}}; }
    static StoredValue String(std::string s) { return {Type::String, 0, std::move(s)}; }
    static StoredValue Binary() { return {Type::Binary, 0, {}}; }
};

class MemorySettingsStore : public ISettingsStore {
public:
    using Values = std::map<std::string, StoredValue>;

    std::map<std::string, Values> keys;
    std::set<std::string> unopenable;     // key paths that fail to open
    std::set<std::string> refusedWrites;  // value names whose writes and deletions fail
    std::vector<std::string> journal;     // "set NAME" / "delete NAME", in order
    int openKeys = 0;

    std::unique_ptr<ISettingsKey> OpenKey(const std::string& path, KeyOpen mode) override {
        if (unopenable.count(path)) return nullptr;
        auto it = keys.find(path);
        if (it == keys.end()) {
            if (mode == KeyOpen::Existing) return nullptr;
            it = keys.emplace(path, Values{}).first;
        }
        return std::make_unique<Key>(*this, it->second);
    }

    // Test helpers.
    void Put(const std::string& path, const std::string& name, StoredValue v) { keys[path][name] = std::move(v); }
    const StoredValue* Find(const std::string& path, const std::string& name) const {
        const auto k = keys.find(path);
        if (k == keys.end()) return nullptr;
        const auto v = k->second.find(name);
        return v == k->second.end() ? nullptr : &v->second;
    }

private:
    class Key : public ISettingsKey {
    public:
        Key(MemorySettingsStore& store, Values& values) : store_(store), values_(values) { ++store_.openKeys; }
        ~Key() override { --store_.openKeys; }

        bool ValueExists(const std::string& name) override { return values_.count(name) != 0; }
        ReadResult ReadDword(const std::string& name, uint32_t& out) override {
            const auto it = values_.find(name);
            if (it == values_.end()) return ReadResult::Absent;
            if (it->second.type != StoredValue::Type::Dword) return ReadResult::WrongType;
            out = it->second.dword;
            return ReadResult::Ok;
        }
        ReadResult ReadString(const std::string& name, std::string& out) override {
            const auto it = values_.find(name);
            if (it == values_.end()) return ReadResult::Absent;
            if (it->second.type != StoredValue::Type::String) return ReadResult::WrongType;
            out = it->second.text;
            return ReadResult::Ok;
        }
        bool WriteDword(const std::string& name, uint32_t value) override {
            return Change(name, [&] { values_[name] = StoredValue::Dword(value); });
        }
        bool WriteString(const std::string& name, const std::string& value) override {
            return Change(name, [&] { values_[name] = StoredValue::String(value); });
        }
        bool DeleteValue(const std::string& name) override {
            if (!values_.count(name)) return true;
            store_.journal.push_back("delete " + name);
            if (store_.refusedWrites.count(name)) return false;
            values_.erase(name);
            return true;
        }

    private:
        template <typename F>
        bool Change(const std::string& name, F apply) {
            store_.journal.push_back("set " + name);
            if (store_.refusedWrites.count(name)) return false;
            apply();
            return true;
        }

        MemorySettingsStore& store_;
        Values& values_;
    };
};

}  // namespace velt::test
