# The Windows build under wine: when VIRLEX_WINDOWS_BUILD names a finished mingw build
# folder, its vsthost.exe runs its Virlex.dll (info and pass-through in all three
# process modes) in a temporary wine prefix.
if(VIRLEX_WINDOWS_BUILD)
  add_test(NAME vsthost.wine.virlex
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/vsthost/wine_check.sh
                   ${VIRLEX_WINDOWS_BUILD}/tools/vsthost/vsthost.exe
                   ${VIRLEX_WINDOWS_BUILD}/Virlex.dll)
  set_tests_properties(vsthost.wine.virlex PROPERTIES
    LABELS "host;wine" SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
