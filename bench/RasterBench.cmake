# Raster library against pixman (fills and blits) and cairo (antialiased
# polylines), with a plain memory copy of the surface as the floor.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(VIRLEX_PIXMAN IMPORTED_TARGET pixman-1)
  pkg_check_modules(VIRLEX_CAIRO IMPORTED_TARGET cairo)
endif()
if(TARGET virlex_raster AND VIRLEX_PIXMAN_FOUND AND VIRLEX_CAIRO_FOUND)
  virlex_add_benchmark(virlex_raster_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RasterBench.cpp
    LIBS virlex_raster PkgConfig::VIRLEX_PIXMAN PkgConfig::VIRLEX_CAIRO)
else()
  message(STATUS "pixman or cairo not found: virlex_raster_bench is skipped")
endif()
