# The audio thread beside a redraw thread and automation: worst and 99.9th-percentile
# process calls against the same calls alone.
if(TARGET virlex_display AND NOT VIRLEX_PLATFORM STREQUAL "win32")
  virlex_add_benchmark(realtime_bench
    SOURCES
      RealtimeBench.cpp
      ${PROJECT_SOURCE_DIR}/plugin/ScopePluginEntry.cpp
      ${PROJECT_SOURCE_DIR}/tests/support/QuietHost.cpp
    LIBS virlex_display)
endif()
