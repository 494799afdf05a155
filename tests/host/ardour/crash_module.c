/* A module whose one function crashes, for the test of guard.sh. */
__attribute__((visibility("default"), noinline)) void CrashInsideTheModule(void) {
  volatile int* nowhere = 0;
  *nowhere = 1;
}
