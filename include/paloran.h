/*
 * paloran: the painting engine's C interface.
 *
 * Every export is a flat function with the standard calling convention on
 * 32-bit Windows (__stdcall, undecorated names through the module
 * definition). The declarations come from the export list
 * (paloran_exports.inc, installed beside this header).
 */
#ifndef PALORAN_H
#define PALORAN_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define PLR_CALL __stdcall
#else
#define PLR_CALL
#endif

#if defined(PALORAN_BUILDING) && !defined(_WIN32)
#define PLR_API __attribute__((visibility("default")))
#else
#define PLR_API
#endif

#ifdef __cplusplus
#define PLR_NOEXCEPT noexcept
extern "C" {
#else
#define PLR_NOEXCEPT
#endif

#define PLR_EXPORT(result, name, params) PLR_API result PLR_CALL name params PLR_NOEXCEPT;
#include "paloran_exports.inc"
#undef PLR_EXPORT

#ifdef __cplusplus
}
#endif

#endif /* PALORAN_H */
