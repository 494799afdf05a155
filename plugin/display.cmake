# The scope's display: the view, its overlays and readout, the panel's own controls
# and the construction of the whole editor.
set(VIRLEX_DISPLAY_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AxisOverlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DomainKnob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FreezeButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrequencyReadout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HoldHandle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScopeEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZoomRangeBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZoomSlider.cpp)
foreach(view_source ScopeView.cpp ScopeViewMouse.cpp)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${view_source})
    list(APPEND VIRLEX_DISPLAY_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${view_source})
  endif()
endforeach()

add_library(virlex_display STATIC ${VIRLEX_DISPLAY_SOURCES})
target_include_directories(virlex_display PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(virlex_display PUBLIC virlex_engine virlex_graphics virlex_resources)
