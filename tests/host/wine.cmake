# The Windows builds under wine. VIRLEX_WINDOWS_BUILD (32-bit) and
# VIRLEX_WINDOWS_BUILD64 (64-bit) name finished mingw-w64 build folders; for each,
# its vsthost.exe runs its Virlex.dll (info and pass-through), its editor runs in
# vsthost.exe edit (input, value entry, life cycle, pictures against the off-screen
# renderer) and the editor's own test program runs.
#
# Whether the machine runs 32-bit programs at all is found out once (the fixture
# wine.probe32); without that, the 32-bit tests report themselves skipped with the
# reason. The 64-bit tests use the 64-bit loader and run everywhere.
set(wine_dir ${CMAKE_CURRENT_LIST_DIR}/wine)
set(wine_probe_result ${CMAKE_BINARY_DIR}/wine32-probe.txt)

add_test(NAME wine.probe32 COMMAND bash ${wine_dir}/wine32_probe.sh ${wine_probe_result})
set_tests_properties(wine.probe32 PROPERTIES LABELS "host;wine" FIXTURES_SETUP wine32)
add_test(NAME wine.probe32.skips COMMAND bash ${wine_dir}/probe_selftest.sh)
set_tests_properties(wine.probe32.skips PROPERTIES LABELS "host;wine")

# virlex_wine_tests(<32|64> <build folder> <name suffix>)
function(virlex_wine_tests arch build suffix)
  set(run bash ${wine_dir}/run_wine.sh ${arch} ${wine_probe_result})
  set(vsthost ${build}/tools/vsthost/vsthost.exe)
  add_test(NAME vsthost.wine.virlex${suffix}
           COMMAND ${run} ${CMAKE_CURRENT_LIST_DIR}/vsthost/wine_check.sh ${vsthost}
                   ${build}/Virlex.dll)
  add_test(NAME wine.editor.unit${suffix}
           COMMAND ${run} ${wine_dir}/editor_unit.sh ${build}/tests/virlex_win32_editor_test.exe)
  add_test(NAME wine.editor.input${suffix}
           COMMAND ${run} ${wine_dir}/editor_check.sh ${vsthost} ${build}/Virlex.dll)
  # Not a wine test: what the DLL exports and imports, read from its tables.
  add_test(NAME windows.dll.linkage${suffix}
           COMMAND bash ${wine_dir}/dll_check.sh ${build}/Virlex.dll)
  set_tests_properties(windows.dll.linkage${suffix} PROPERTIES LABELS host SKIP_RETURN_CODE 77)
  set(names vsthost.wine.virlex${suffix} wine.editor.unit${suffix} wine.editor.input${suffix})
  if(TARGET virlex-render AND TARGET picture_check)
    add_test(NAME wine.editor.picture${suffix}
             COMMAND ${run} ${wine_dir}/editor_picture.sh ${vsthost} ${build}/Virlex.dll
                     $<TARGET_FILE:virlex-render> $<TARGET_FILE:picture_check>)
    list(APPEND names wine.editor.picture${suffix})
  endif()
  set_tests_properties(${names} PROPERTIES LABELS "host;wine" SKIP_RETURN_CODE 77 TIMEOUT 900)
  if(arch STREQUAL "32")
    set_tests_properties(${names} PROPERTIES FIXTURES_REQUIRED wine32)
  endif()
endfunction()

if(TARGET virlex_render_lib)
  add_executable(picture_check ${wine_dir}/PictureCheck.cpp
                 ${PROJECT_SOURCE_DIR}/tests/render/RenderTestSupport.cpp)
  target_include_directories(picture_check PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(picture_check PRIVATE virlex_render_lib)
endif()
if(VIRLEX_WINDOWS_BUILD)
  virlex_wine_tests(32 ${VIRLEX_WINDOWS_BUILD} "")
endif()
if(VIRLEX_WINDOWS_BUILD64)
  virlex_wine_tests(64 ${VIRLEX_WINDOWS_BUILD64} ".64")
endif()
