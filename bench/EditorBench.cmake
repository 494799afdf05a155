# The whole editor's redraws, built through the plug-in's entry as the render tool
# builds it (so only where the tool is built).
if(TARGET virlex_render_lib)
  virlex_add_benchmark(editor_bench SOURCES EditorBench.cpp LIBS virlex_render_lib)
endif()
