# One warning set for every target of the project; TORVANE_WERROR makes them errors.
add_library(torvane_warnings INTERFACE)
target_compile_options(torvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  # GCC 12 warns falsely about every "literal" + std::string temporary once optimising
  # inlines it (an overlap of 2^63 bytes); GCC 13 no longer does.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
  # A unity build includes each source into a generated one, and GCC then takes a test
  # fixture in an anonymous namespace for a type of a header used from another file.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<BOOL:${CMAKE_UNITY_BUILD}>>:-Wno-subobject-linkage>
  $<$<BOOL:${TORVANE_WERROR}>:-Werror>)
