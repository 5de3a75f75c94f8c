# Sources kept out of unity builds: each defines a helper in an anonymous namespace under
# the same name as another source of its target does, which one translation unit cannot
# hold twice.
set(torvane_unity_apart
  device/CommandRun.cpp
  device/Torvane.cpp
  editor/codec/Survival.cpp
  editor/dialogs/frmOptions.cpp
  editor/startup/CommandLine.cpp
  tests/editor/codec/ReplacementTest.cpp
  tests/editor/codec/UnicodeFilePosixTest.cpp
  tests/editor/dialogs/frmOptionsTest.cpp
  tests/editor/document/TextFactsTest.cpp
  tests/editor/document/frmDocumentBreaksTest.cpp)
# Only folders this build configured can be named; the plain and fuzz builds skip some.
function(torvane_configured_folders folder out)
  get_property(below DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  set(all ${folder})
  foreach(sub IN LISTS below)
    torvane_configured_folders(${sub} more)
    list(APPEND all ${more})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

torvane_configured_folders(${PROJECT_SOURCE_DIR} torvane_folders)
foreach(source IN LISTS torvane_unity_apart)
  get_filename_component(folder ${PROJECT_SOURCE_DIR}/${source} DIRECTORY)
  if(folder IN_LIST torvane_folders)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/${source} DIRECTORY ${folder}
      PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endif()
endforeach()
