# Writes OUTPUT: a C++ source holding every file below SOURCE_DIR as bytes, for
# CExtensionFiles::All(), with VERSION in description.xml. Run with cmake -P at
# build time.
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
list(SORT files)
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS files)
  if(file STREQUAL "description.xml")
    file(READ ${SOURCE_DIR}/${file} text)
    string(REPLACE "@ORVIK_VERSION@" "${VERSION}" text "${text}")
    string(HEX "${text}" hex)
    string(LENGTH "${text}" size)
  else()
    file(READ ${SOURCE_DIR}/${file} hex HEX)
    file(SIZE ${SOURCE_DIR}/${file} size)
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char f${index}[] = {${bytes}0};\n")
  string(APPEND entries "        {\"${file}\", f${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from setup/addin/extension by EmbedFiles.cmake; do not edit.
#include \"setup/addin/ExtensionFiles.h\"

namespace {
${arrays}} // namespace

const std::vector<CExtensionFiles::File>& CExtensionFiles::All()
{
    static const std::vector<File> files{
${entries}    };
    return files;
}
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
