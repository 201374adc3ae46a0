// Leak-checker suppressions for sanitizer builds. fontconfig keeps the
// configuration it parses at its first use for the whole process, and some
// blocks of that parse are no longer reachable by the leak checker's
// reckoning: they are fontconfig's, allocated once, never ours.
// gcc says __SANITIZE_ADDRESS__; clang before 15 (the fuzz programs) only
// answers __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PALORAN_ADDRESS_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(PALORAN_ADDRESS_CHECKED)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libsane\n"; }
#endif
