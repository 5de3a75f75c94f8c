# One warning set for every target of the project; TORVANE_WERROR makes them errors.
add_library(torvane_warnings INTERFACE)
target_compile_options(torvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  # GCC 12 warns falsely about every "literal" + std::string temporary once optimising
  # inlines it (an overlap of 2^63 bytes); GCC 13 no longer does.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
  $<$<BOOL:${TORVANE_WERROR}>:-Werror>)
