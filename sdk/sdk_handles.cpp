#include "sdk/sdk_handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace orvex::sdk::detail {
namespace {

struct Entry {
    std::shared_ptr<Object> object;
    EdsUInt32 count = 1;
};

struct HandleTable {
    std::mutex lock;
    bool open = false;
    std::uintptr_t lastId = 0;
    std::unordered_map<std::uintptr_t, Entry> entries;
};

HandleTable& table() {
    static HandleTable instance;
    return instance;
}

std::uintptr_t idOf(EdsBaseRef ref) {
    return reinterpret_cast<std::uintptr_t>(ref);
}

} // namespace

void openHandleTable() {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    t.open = true;
}

std::vector<std::shared_ptr<Object>> closeHandleTable() {
    HandleTable& t = table();
    std::unordered_map<std::uintptr_t, Entry> dropped;
    {
        std::lock_guard guard(t.lock);
        t.open = false;
        dropped.swap(t.entries);
    }
    std::vector<std::shared_ptr<Object>> owners;
    owners.reserve(dropped.size());
    for (auto& [id, entry] : dropped) owners.push_back(std::move(entry.object));
    return owners;
}

bool handleTableOpen() {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    return t.open;
}

EdsError addHandle(std::shared_ptr<Object> object, EdsBaseRef& out) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    if (!t.open) return EDS_ERR_INTERNAL_ERROR;
    const std::uintptr_t id = ++t.lastId;
    t.entries.emplace(id, Entry{std::move(object)});
    out = reinterpret_cast<EdsBaseRef>(id);
    return EDS_ERR_OK;
}

EdsError retainHandle(EdsBaseRef ref) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.entries.find(idOf(ref));
    if (it == t.entries.end()) return EDS_ERR_INVALID_HANDLE;
    ++it->second.count;
    return EDS_ERR_OK;
}

EdsError releaseHandle(EdsBaseRef ref) {
    HandleTable& t = table();
    std::shared_ptr<Object> last; // destroyed after the lock is let go: a stream closes its file then
    std::lock_guard guard(t.lock);
    const auto it = t.entries.find(idOf(ref));
    if (it == t.entries.end()) return EDS_ERR_INVALID_HANDLE;
    if (--it->second.count == 0) {
        last = std::move(it->second.object);
        t.entries.erase(it);
    }
    return EDS_ERR_OK;
}

std::shared_ptr<Object> findObject(EdsBaseRef ref) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.entries.find(idOf(ref));
    return it == t.entries.end() ? nullptr : it->second.object;
}

} // namespace orvex::sdk::detail
