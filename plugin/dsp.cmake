# The FFT and the spectrum analysis: sources for virlex_engine, plus a small
# library of their own for the dsp tests and benchmarks.
set(VIRLEX_DSP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Fft.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FftKernelsReference.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FreqRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScopeMath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumAnalyser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumMapper.cpp)

# The AVX2 kernels pick their instruction set per function and are chosen at
# run time, so the module still runs on the target's baseline processor.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  list(APPEND VIRLEX_DSP_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FftKernelsAvx2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FftKernelsSse2.cpp)
else()
  list(APPEND VIRLEX_DSP_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FftKernelsPortable.cpp)
endif()

if(NOT TARGET virlex_dsp)
  add_library(virlex_dsp STATIC ${VIRLEX_DSP_SOURCES})
  target_include_directories(virlex_dsp PUBLIC ${PROJECT_SOURCE_DIR})
endif()

# sqrt without errno handling lets the magnitude loop vectorise; its argument
# is a sum of squares, never negative.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/SpectrumAnalyser.cpp
  PROPERTIES COMPILE_OPTIONS -fno-math-errno)
