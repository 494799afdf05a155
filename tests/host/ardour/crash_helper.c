/* Stands in for a host in the test of guard.sh: ends cleanly, with an exit code, aborts in
 * its own code (as Ardour's heap checks do), or crashes inside a module it loaded.
 * Usage: crash_helper clean|exit3|own|module MODULE */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (strcmp(argv[1], "clean") == 0) return 0;
  if (strcmp(argv[1], "exit3") == 0) return 3;
  void* module = dlopen(argv[2], RTLD_NOW);
  if (module == NULL) {
    fprintf(stderr, "%s\n", dlerror());
    return 2;
  }
  if (strcmp(argv[1], "own") == 0) abort();
  void (*crash)(void) = (void (*)(void))dlsym(module, "CrashInsideTheModule");
  if (crash == NULL) return 2;
  crash();
  return 0;
}
