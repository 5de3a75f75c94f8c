# The programs' translations, made with Qt's own lupdate and lrelease.
#
# Qt's CMake functions for this (qt_add_translations) come in Debian only with the Designer
# and Assistant development package and its libclang; the two tools themselves are in
# qt6-l10n-tools, and this is all the build needs of them.
#
# torvane_add_translations(PROGRAM name DIRS dir... [LANGUAGES lang...])
# Per program:
#  - <build>/translations/<name>.ts: every marked text of DIRS, the template a translator
#    starts from (and the pseudo-locale test's input), made afresh whenever a source changes;
#  - <name>_<lang>.ts from <source>/translations/, merged with the texts of DIRS in the build
#    tree (the source file is changed only by the update_translations target), compiled to
#    <build>/share/<name>/translations/<name>_<lang>.qm beside the programs' build, and
#    installed to <datadir>/<name>/translations, where the programs look for them.
# English is one of the languages: its file gives the singular and plural forms of the texts
# that count something ("%n line(s)").

find_program(TORVANE_LUPDATE NAMES lupdate-qt6 lupdate
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)
find_program(TORVANE_LRELEASE NAMES lrelease-qt6 lrelease
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)

set(TORVANE_TRANSLATIONS_BUILD_DIR ${CMAKE_BINARY_DIR}/share)
if(NOT TARGET translations)
  add_custom_target(translations ALL)
  add_custom_target(update_translations)
endif()

function(torvane_add_translations)
  cmake_parse_arguments(T "" "PROGRAM;SOURCE_DIR" "DIRS;LANGUAGES" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS T_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND sources ${found})
  endforeach()
  set(work ${CMAKE_BINARY_DIR}/translations)
  set(qmdir ${TORVANE_TRANSLATIONS_BUILD_DIR}/${T_PROGRAM}/translations)
  file(MAKE_DIRECTORY ${work} ${qmdir})

  # lupdate reads the folders itself; the list only tells the build when to run it again.
  set(template ${work}/${T_PROGRAM}.ts)
  add_custom_command(OUTPUT ${template}
    COMMAND ${TORVANE_LUPDATE} -silent -extensions cpp,h -locations relative -no-obsolete
            ${T_DIRS} -ts ${template}
    DEPENDS ${sources}
    COMMENT "Collecting the texts of ${T_PROGRAM} to translate"
    VERBATIM)
  set(outputs ${template})

  foreach(lang IN LISTS T_LANGUAGES)
    set(source ${T_SOURCE_DIR}/${T_PROGRAM}_${lang}.ts)
    set(merged ${work}/${T_PROGRAM}_${lang}.ts)
    set(qm ${qmdir}/${T_PROGRAM}_${lang}.qm)
    # English translates only the counted texts; other languages every one.
    set(only "")
    if(lang STREQUAL "en")
      set(only -pluralonly)
    endif()
    add_custom_command(OUTPUT ${merged}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${merged}
      COMMAND ${TORVANE_LUPDATE} -silent -extensions cpp,h -locations none -no-obsolete ${only}
              ${T_DIRS} -ts ${merged}
      DEPENDS ${source} ${sources}
      VERBATIM)
    add_custom_command(OUTPUT ${qm}
      COMMAND ${TORVANE_LRELEASE} -silent ${merged} -qm ${qm}
      DEPENDS ${merged}
      VERBATIM)
    list(APPEND outputs ${merged} ${qm})
    install(FILES ${qm} DESTINATION ${CMAKE_INSTALL_DATADIR}/${T_PROGRAM}/translations)
    add_custom_target(update_translations_${T_PROGRAM}_${lang}
      COMMAND ${TORVANE_LUPDATE} -extensions cpp,h -locations none -no-obsolete ${only}
              ${T_DIRS} -ts ${source}
      VERBATIM)
    add_dependencies(update_translations update_translations_${T_PROGRAM}_${lang})
  endforeach()

  add_custom_target(translations_${T_PROGRAM} DEPENDS ${outputs})
  add_dependencies(translations translations_${T_PROGRAM})
endfunction()
