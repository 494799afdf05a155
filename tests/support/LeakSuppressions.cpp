// Linked into every test program. Under LeakSanitizer, fontconfig's own
// process-lifetime caches are not leaks of ours: the library keeps them until exit
// by design, and a plug-in must not tear down a library its host shares.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
