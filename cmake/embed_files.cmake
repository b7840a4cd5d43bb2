# inkjet_embed_files(OUTPUT NAME PATH [NAME PATH ...]): writes OUTPUT, a C++ source that puts
# the bytes of each file into the binary (the assembler's .incbin) and answers
# platform::embeddedFile(NAME) with them. The files are read when the source compiles; the
# caller makes it depend on them (OBJECT_DEPENDS).
function(inkjet_embed_files output)
  set(symbols "")
  set(table "")
  set(index 0)
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs name path)
    set(symbol "inkjet_embedded_${index}")
    string(APPEND symbols
      "extern \"C\" const unsigned char ${symbol}[];\n"
      "extern \"C\" const unsigned char ${symbol}_end[];\n"
      "asm(\".pushsection .rodata\\n.balign 16\\n.globl ${symbol}\\n.hidden ${symbol}\\n${symbol}:\\n"
      ".incbin \\\"${path}\\\"\\n.globl ${symbol}_end\\n.hidden ${symbol}_end\\n${symbol}_end:\\n"
      ".byte 0\\n.popsection\\n\");\n")
    string(APPEND table "    {\"${name}\", ${symbol}, ${symbol}_end},\n")
    math(EXPR index "${index} + 1")
  endwhile()
  file(CONFIGURE OUTPUT "${output}" CONTENT
"// Written by CMake from cmake/embed_files.cmake: the files compiled into this binary.
#include \"platform/embedded_files.h\"

${symbols}
namespace {

struct Entry {
  const char* name;
  const unsigned char* begin;
  const unsigned char* end;
};

const Entry entries[] = {
${table}};

}  // namespace

namespace platform {

std::string_view embeddedFile(std::string_view name) {
  for (const Entry& entry : entries)
    if (name == entry.name)
      return std::string_view(reinterpret_cast<const char*>(entry.begin), size_t(entry.end - entry.begin));
  return {};
}

}  // namespace platform
" @ONLY)
endfunction()
