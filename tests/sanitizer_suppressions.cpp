// Leak-checker suppressions for sanitizer builds. fontconfig keeps the
// configuration it parses at its first use for the whole process, and some
// blocks of that parse are no longer reachable by the leak checker's
// reckoning: they are fontconfig's, allocated once, never ours.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libsane\n"; }
#endif
