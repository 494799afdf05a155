# The LV2 bundle as LV2 tools and hosts load it (see lv2/*.sh). Each script exits 77 when
# its tool is not installed, which CTest reports as skipped.
find_program(VIRLEX_BASH bash)
if(TARGET virlex_lv2_bundle AND VIRLEX_BASH)
  add_test(NAME host.lv2.bundle
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/lv2/check_bundle.sh ${VIRLEX_LV2_BUNDLE})
  add_test(NAME host.lv2.lv2apply
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/lv2/lv2apply_check.sh ${VIRLEX_LV2_BUNDLE})
  set_tests_properties(host.lv2.bundle host.lv2.lv2apply PROPERTIES
    LABELS host SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()

# Ardour as a real LV2 host, with the machinery of the VST 2 Ardour test (ardour/).
if(TARGET virlex_lv2_bundle AND VIRLEX_BASH)
  add_test(NAME host.lv2.ardour
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/ardour/run_lv2.sh ${VIRLEX_LV2_BUNDLE})
  set_tests_properties(host.lv2.ardour PROPERTIES LABELS host SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()

find_program(VIRLEX_PYTHON3 python3)
if(VIRLEX_PYTHON3)
  add_test(NAME host.lv2.state_tool
           COMMAND ${VIRLEX_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/ardour/test_lv2_state.py)
  set_tests_properties(host.lv2.state_tool PROPERTIES LABELS host TIMEOUT 60)
endif()

# The editor as an LV2 UI in jalv under Xvfb (see lv2/jalv_ui_check.sh).
if(TARGET virlex_lv2_bundle AND VIRLEX_BASH)
  add_test(NAME host.lv2.jalv_ui
           COMMAND ${VIRLEX_BASH} ${CMAKE_CURRENT_LIST_DIR}/lv2/jalv_ui_check.sh ${VIRLEX_LV2_BUNDLE})
  set_tests_properties(host.lv2.jalv_ui PROPERTIES
    LABELS "host;x11" SKIP_RETURN_CODE 77 TIMEOUT 240)
endif()
