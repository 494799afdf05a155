if(NOT VIRLEX_PLATFORM STREQUAL "win32")
  virlex_add_benchmark(graphics_bench SOURCES GraphicsBench.cpp LIBS virlex_graphics)
endif()
