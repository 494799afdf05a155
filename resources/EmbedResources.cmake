# Writes a C++ source with the bytes of the editor's PNG files and a lookup
# table by id. Run at build time:
#   cmake -DOUTPUT=<file.cpp> -DRESOURCE_DIR=<dir> -DRESOURCES=100=bg.png,101=... -P EmbedResources.cmake
# Names in the table carry the "img/" prefix the editor uses.
if(NOT OUTPUT OR NOT RESOURCE_DIR OR NOT RESOURCES)
  message(FATAL_ERROR "EmbedResources.cmake needs OUTPUT, RESOURCE_DIR and RESOURCES")
endif()

string(REPLACE "," ";" RESOURCES "${RESOURCES}")
set(arrays "")
# CMake's regular expressions have no {n} repetition: spell the 16 bytes out.
string(REPEAT "0x..," 16 line_of_16)
set(entries "")
foreach(item IN LISTS RESOURCES)
  string(REPLACE "=" ";" pair "${item}")
  list(GET pair 0 id)
  list(GET pair 1 file)
  set(path "${RESOURCE_DIR}/${file}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "missing resource ${path}")
  endif()
  file(SIZE "${path}" size)
  if(size EQUAL 0)
    message(FATAL_ERROR "empty resource ${path}") # an empty C array would not compile
  endif()
  file(READ "${path}" hex HEX)
  # Two hex digits per byte become "0x..," with a line break every 16 bytes.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${line_of_16})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "alignas(4) const unsigned char kResource${id}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {${id}, \"img/${file}\", kResource${id}, ${size}u},\n")
endforeach()

set(content "// Generated at build time from the PNG files in resources/; do not edit.
#include \"resources/EmbeddedResources.h\"

namespace {

${arrays}const EmbeddedResource kResources[] = {
${entries}};

} // namespace

const EmbeddedResource* FindEmbeddedResource(int id)
{
    for (const EmbeddedResource& r : kResources)
        if (r.id == id) return &r;
    return nullptr;
}
")
file(WRITE "${OUTPUT}" "${content}")
