#pragma once
// The plug-ins a scan found, drained by the host one display text at a time.
// Newest first: every entry goes in at the head, and scans add to what is
// already listed.
#include <cstdint>

namespace plr {

struct PluginEntry;

class PluginList {
public:
    PluginList() = default;
    PluginList(const PluginList&) = delete;
    PluginList& operator=(const PluginList&) = delete;
    ~PluginList() { clear(); }

    // Copies the three texts (null reads as empty) into a new head entry;
    // false, and nothing listed, when the heap says no.
    bool push(const char* first, const char* second, const char* third) noexcept;
    // Writes the head entry as "second :: third :: first" into `text`
    // (at most capacity - 1 characters, always terminated) and removes it;
    // an empty text when the list is empty.
    void drainNext(char* text, std::int32_t capacity) noexcept;
    bool empty() const noexcept { return head_ == nullptr; }
    void clear() noexcept;

private:
    PluginEntry* head_ = nullptr;
};

}  // namespace plr
