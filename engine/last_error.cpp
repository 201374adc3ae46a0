#include "core/last_error.h"

#include <cstdio>
#include <cstring>

#include "engine/engine.h"

namespace plr {

void setLastError(const char* text) noexcept {
    char* dst = engine().lastError;
    std::size_t n = 0;
    if (text)
        while (n < sizeof engine().lastError - 1 && text[n]) ++n;
    std::memcpy(dst, text ? text : "", n);
    dst[n] = '\0';
}

void setFailureText(const char* operation) noexcept {
    std::snprintf(engine().lastError, sizeof engine().lastError, "%s Excpt", operation);
}

const char* lastError() noexcept { return engine().lastError; }

}  // namespace plr
