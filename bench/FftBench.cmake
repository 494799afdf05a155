# FftTransform beside FFTW (single precision, FFTW_MEASURE) and KissFFT, and one
# whole analyser step beside the same step built on FFTW. The peers are used
# by this program only.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(VIRLEX_FFTW3F IMPORTED_TARGET fftw3f)
  pkg_check_modules(VIRLEX_KISSFFT IMPORTED_TARGET kissfft-float)
endif()
if(TARGET PkgConfig::VIRLEX_FFTW3F AND TARGET PkgConfig::VIRLEX_KISSFFT AND TARGET virlex_dsp)
  virlex_add_benchmark(virlex_fft_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FftBench.cpp
    LIBS virlex_dsp PkgConfig::VIRLEX_FFTW3F PkgConfig::VIRLEX_KISSFFT)
else()
  message(STATUS "FFTW or KissFFT missing: virlex_fft_bench is skipped")
endif()
