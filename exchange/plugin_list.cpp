// The plug-in list on the engine heap: one block per entry holding the link
// and the three texts back to back.
#include "exchange/plugin_list.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/alloc.h"

namespace plr {

struct PluginEntry {
    PluginEntry* next;
    const char* texts[3];  // first, second, third, inside this block
};

bool PluginList::push(const char* first, const char* second, const char* third) noexcept {
    const char* texts[3] = {first ? first : "", second ? second : "", third ? third : ""};
    std::size_t bytes = sizeof(PluginEntry);
    for (const char* t : texts) bytes += std::strlen(t) + 1;
    void* block = mem::allocate(bytes);
    if (!block) return false;
    auto* entry = new (block) PluginEntry{head_, {}};
    char* cursor = static_cast<char*>(block) + sizeof(PluginEntry);
    for (int i = 0; i < 3; ++i) {
        const std::size_t n = std::strlen(texts[i]) + 1;
        std::memcpy(cursor, texts[i], n);
        entry->texts[i] = cursor;
        cursor += n;
    }
    head_ = entry;
    return true;
}

void PluginList::drainNext(char* text, std::int32_t capacity) noexcept {
    if (!text || capacity <= 0) return;
    text[0] = '\0';
    PluginEntry* entry = head_;
    if (!entry) return;
    std::snprintf(text, static_cast<std::size_t>(capacity), "%s :: %s :: %s", entry->texts[1], entry->texts[2],
                  entry->texts[0]);
    head_ = entry->next;
    mem::release(entry);
}

void PluginList::clear() noexcept {
    while (PluginEntry* entry = head_) {
        head_ = entry->next;
        mem::release(entry);
    }
}

}  // namespace plr
