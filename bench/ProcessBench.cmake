# The audio thread: Virlex's processReplacing against a plain copy of the same buffers
# and against LSP's four-channel oscilloscope, all through the vsthost library.
if(TARGET virlex_vsthost_lib)
  virlex_add_benchmark(ProcessBench SOURCES ProcessBench.cpp LIBS virlex_vsthost_lib)
  if(TARGET Virlex)
    target_compile_definitions(ProcessBench PRIVATE VIRLEX_MODULE_PATH="$<TARGET_FILE:Virlex>")
    add_dependencies(ProcessBench Virlex)
  endif()
endif()
