#pragma once
namespace plr {

// Copies at most 511 characters of `text` into the last-error text; null
// leaves it empty.
void setLastError(const char* text) noexcept;
// "<operation> Excpt"
void setFailureText(const char* operation) noexcept;
const char* lastError() noexcept;

}  // namespace plr
