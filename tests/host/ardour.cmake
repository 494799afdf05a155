# Real-host test: Ardour's headless VST scanner and Lua session runner load the built module,
# set and read back parameters, and render audio through it (see ardour/run.sh).
# run.sh exits 77 when Ardour's tools are not installed, which CTest reports as skipped.
find_program(VIRLEX_BASH bash)
find_program(VIRLEX_PYTHON3 python3)

if(TARGET Virlex AND VIRLEX_BASH)
  add_test(NAME host.ardour
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/ardour/run.sh $<TARGET_FILE:Virlex>)
  set_tests_properties(host.ardour PROPERTIES
    LABELS host
    SKIP_RETURN_CODE 77
    TIMEOUT 300)
endif()

# Ardour under load: sessions in a row, the module on several tracks, automation.
if(TARGET Virlex AND VIRLEX_BASH)
  add_test(NAME host.ardour.load
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/ardour/load.sh $<TARGET_FILE:Virlex> 3 4)
  set_tests_properties(host.ardour.load PROPERTIES
    LABELS host
    SKIP_RETURN_CODE 77
    TIMEOUT 1200)
endif()

# How the two tests above tell Ardour's own crashes from the module's.
if(VIRLEX_BASH AND NOT VIRLEX_SANITIZE AND NOT VIRLEX_TSAN AND NOT VIRLEX_FUZZ)
  add_executable(ardour_crash_helper ${CMAKE_CURRENT_LIST_DIR}/ardour/crash_helper.c)
  target_link_libraries(ardour_crash_helper PRIVATE ${CMAKE_DL_LIBS})
  add_library(ardour_crash_module MODULE ${CMAKE_CURRENT_LIST_DIR}/ardour/crash_module.c)
  add_test(NAME host.ardour.guard
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/ardour/test_guard.sh
                   $<TARGET_FILE:ardour_crash_helper> $<TARGET_FILE:ardour_crash_module>)
  set_tests_properties(host.ardour.guard PROPERTIES LABELS host SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

# The comparison and the session edit that the test above relies on.
if(VIRLEX_PYTHON3)
  add_test(NAME host.ardour.session_tool
           COMMAND ${VIRLEX_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/ardour/test_session_tool.py)
  set_tests_properties(host.ardour.session_tool PROPERTIES LABELS host TIMEOUT 60)
endif()

# Ardour's GUI as the editor's host: under Xvfb with a JACK server on its dummy driver,
# the plug-in's entry in the mixer is double-clicked and its editor must show moving
# traces (ardour/gui.sh; about 30 s, more on a busy machine). Skipped when a tool is missing,
# or when JACK drops Ardour on each of two clean starts (the reason is printed).
if(TARGET Virlex AND VIRLEX_BASH)
  add_test(NAME host.ardour.gui
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/ardour/gui.sh $<TARGET_FILE:Virlex>
                   ${CMAKE_CURRENT_BINARY_DIR}/ardour-gui-editor.png)
  set_tests_properties(host.ardour.gui PROPERTIES
    LABELS host
    SKIP_RETURN_CODE 77
    TIMEOUT 300)
endif()
