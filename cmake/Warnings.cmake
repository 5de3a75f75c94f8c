# One warning set for every target of the project; TORVANE_WERROR makes them errors.
add_library(torvane_warnings INTERFACE)
target_compile_options(torvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<BOOL:${TORVANE_WERROR}>:-Werror>)
