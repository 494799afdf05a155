# vsthost: unit tests of the host library and module-level runs of the built tool on
# small fixture modules, on an LSP plug-in (skipped when not installed) and on Virlex.

set(vsthost_dir ${CMAKE_CURRENT_LIST_DIR}/vsthost)

virlex_add_test(vsthost_unit_tests
  SOURCES
    ${vsthost_dir}/WavFileTest.cpp
    ${vsthost_dir}/CommandLineTest.cpp
    ${vsthost_dir}/HostRunTest.cpp
  LIBS virlex_vsthost_app
  LABELS host)
if(VIRLEX_VSTHOST_SNDFILE)
  # Cross-checks the built-in WAV codec against libsndfile.
  target_sources(vsthost_unit_tests PRIVATE ${vsthost_dir}/WavSndfileTest.cpp)
endif()

# Fixture modules: a working gain effect exported only as "main", and three broken ones.
foreach(variant gain null badmagic noentry)
  add_library(vsthost_fake_${variant} MODULE ${vsthost_dir}/FakeEffectModule.cpp)
  target_include_directories(vsthost_fake_${variant} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(vsthost_fake_${variant} PROPERTIES PREFIX "")
endforeach()
target_compile_definitions(vsthost_fake_null PRIVATE FAKE_RETURNS_NULL)
target_compile_definitions(vsthost_fake_badmagic PRIVATE FAKE_BAD_MAGIC)
target_compile_definitions(vsthost_fake_noentry PRIVATE FAKE_NO_ENTRY)
add_custom_target(vsthost_fixtures DEPENDS vsthost vsthost_fake_gain vsthost_fake_null
                                           vsthost_fake_badmagic vsthost_fake_noentry)

# vsthost_check(<name> <case> <plugin> [args...])
function(vsthost_check name case_name plugin)
  add_test(NAME vsthost.${name}
           COMMAND bash ${vsthost_dir}/vsthost_check.sh ${case_name} $<TARGET_FILE:vsthost>
                   ${plugin} ${ARGN})
  set_tests_properties(vsthost.${name} PROPERTIES LABELS host SKIP_RETURN_CODE 77 TIMEOUT 120)
endfunction()

vsthost_check(missing_module load_error ${CMAKE_CURRENT_BINARY_DIR}/no-such-plugin.so
              "cannot load module")
vsthost_check(no_entry load_error $<TARGET_FILE:vsthost_fake_noentry>
              "exports neither VSTPluginMain nor main")
vsthost_check(null_effect load_error $<TARGET_FILE:vsthost_fake_null> "returned no effect")
vsthost_check(bad_magic load_error $<TARGET_FILE:vsthost_fake_badmagic>
              "magic 0x12345678, not 'VstP'")

set(fake $<TARGET_FILE:vsthost_fake_gain>)
vsthost_check(fake.info info ${fake} "^name: FakeGain$" "^vendor: Fixture$"
              "^unique id: 'FkGn' " "^inputs: 2$" "^input 1: \\(no properties\\)$"
              "^param 0: gain = 0.500000 \\[unity\\] 'x'$" "^program 0: Only$")
foreach(mode replacing accumulating double)
  vsthost_check(fake.passthrough.${mode} passthrough ${fake} ${mode})
endforeach()
vsthost_check(fake.passthrough_fails passthrough_fails ${fake} --param gain=1)
vsthost_check(fake.chunk_size chunk_size ${fake} program 4)
vsthost_check(fake.chunk_roundtrip chunk_roundtrip ${fake} program --param 0=0.25)
vsthost_check(fake.host_identity host_identity ${fake})
vsthost_check(fake.automation_trace automation_trace ${fake} 1 1 1)
vsthost_check(fake.bad_arguments bad_arguments ${fake})
vsthost_check(fake.stress stress ${fake} --cycles 5 --instances 2)
# Random parameter changes make the gain leave unity: the check must notice.
vsthost_check(fake.stress_catches_changed_audio stress_fails ${fake} --cycles 3
              --expect-passthrough)

# A real third-party plug-in proves the host is not a mirror of our own.
set(VIRLEX_LSP_VST_DIR /usr/lib/vst/lsp-plugins CACHE PATH "Where lsp-plugins-vst installs")
set(lsp_scope ${VIRLEX_LSP_VST_DIR}/oscilloscope-x4.so)
set(lsp_spectrum ${VIRLEX_LSP_VST_DIR}/spectrum-analyzer-x4.so)
vsthost_check(lsp.scope.info info ${lsp_scope} "^name: .+" "^inputs: [1-9]" "^outputs: [1-9]"
              "^params: [1-9]" "^param 0: .+")
vsthost_check(lsp.spectrum.info info ${lsp_spectrum} "^name: .+" "^params: [1-9]")
# The x4 scope has three inputs per channel (x, y, external trigger) and passes x and y
# through to its two outputs per channel.
foreach(mode replacing accumulating)
  vsthost_check(lsp.scope.passthrough.${mode} passthrough ${lsp_scope} ${mode}
                --passthrough-map 1,2,4,5,7,8,10,11)
endforeach()
vsthost_check(lsp.spectrum.passthrough passthrough ${lsp_spectrum} replacing)
vsthost_check(lsp.scope.stress stress ${lsp_scope} --cycles 3 --instances 2
              --passthrough-map 1,2,4,5,7,8,10,11)
# LSP keeps its state in a bank chunk (it declares no programs).
vsthost_check(lsp.scope.chunk_roundtrip chunk_roundtrip ${lsp_scope} bank --param 0=1)

# LSP frees some allocations only at process exit; under the leak checker that is their
# leak, not the host's, so it is not reported for these runs.
get_property(vsthost_tests DIRECTORY PROPERTY TESTS)
list(FILTER vsthost_tests INCLUDE REGEX "^vsthost\\.lsp\\.")
set_tests_properties(${vsthost_tests} PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")

if(TARGET Virlex)
  set(virlex $<TARGET_FILE:Virlex>)
  vsthost_check(virlex.info info ${virlex} "^name: Virlex$" "^vendor: Orbek$"
                "^unique id: 'Vrlx' " "^version: 18400$"
                # replacing, double replacing, mono; the editor bit (1) once it is attached
                "^flags: 0x1019$"
                "^inputs: 4$" "^input 1: Input 1 \\(active, stereo\\)$"
                "^input 2: Input 2 \\(active\\)$" "^outputs: 2$" "^params: 16$"
                "^param 15: .+" "^programs: 1$" "^program 0: Default$"
                "^canDo receiveVstTimeInfo: 1$" "^canDo receiveVstMidiEvent: 0$"
                "^canDo hasCockosExtensions: 0xbeef0000$")
  foreach(mode replacing accumulating double)
    vsthost_check(virlex.passthrough.${mode} passthrough ${virlex} ${mode})
  endforeach()
  vsthost_check(virlex.chunk_size.program chunk_size ${virlex} program 136)
  vsthost_check(virlex.chunk_size.bank chunk_size ${virlex} bank 148)
  vsthost_check(virlex.chunk_roundtrip.program chunk_roundtrip ${virlex} program --param 0=1)
  vsthost_check(virlex.chunk_roundtrip.bank chunk_roundtrip ${virlex} bank --param 0=1)
  vsthost_check(virlex.host_identity host_identity ${virlex})
  vsthost_check(virlex.stress stress ${virlex} --cycles 10 --instances 3 --expect-passthrough
                --editor headless)
  # The same under valgrind's memcheck: no invalid access, nothing definitely lost over
  # load/open/close cycles (the long run of 1000 cycles is in the README).
  find_program(VIRLEX_VALGRIND valgrind)
  if(VIRLEX_VALGRIND AND NOT VIRLEX_SANITIZE AND NOT VIRLEX_TSAN AND NOT VIRLEX_FUZZ)
    add_test(NAME vsthost.virlex.stress_memcheck
             COMMAND ${VIRLEX_VALGRIND} --error-exitcode=9 --leak-check=full
                     --errors-for-leak-kinds=definite --show-leak-kinds=definite -q
                     $<TARGET_FILE:vsthost> stress ${virlex} --cycles 5 --instances 1
                     --expect-passthrough --editor headless)
    set_tests_properties(vsthost.virlex.stress_memcheck PROPERTIES LABELS host TIMEOUT 600)
    # With the editor in a window, so fonts are loaded: a load must not lose what
    # fontconfig built for the previous one.
    find_program(VIRLEX_XVFB_RUN xvfb-run)
    if(VIRLEX_XVFB_RUN AND TARGET virlex_graphics_x11)
      add_test(NAME vsthost.virlex.stress_memcheck_window
               COMMAND ${VIRLEX_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                       ${VIRLEX_VALGRIND} --error-exitcode=9 --leak-check=full
                       --errors-for-leak-kinds=definite --show-leak-kinds=definite -q
                       --suppressions=${CMAKE_CURRENT_SOURCE_DIR}/vsthost/fontconfig-once.supp
                       $<TARGET_FILE:vsthost> stress ${virlex} --cycles 4 --instances 1
                       --expect-passthrough --editor window)
      set_tests_properties(vsthost.virlex.stress_memcheck_window
                           PROPERTIES LABELS "host;x11" TIMEOUT 600)
    endif()
  endif()
endif()
