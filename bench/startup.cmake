# Start-up of both programs as whole processes, raced on a private X server against an
# empty main window built here with the same flags.
if(NOT TARGET quillon OR NOT TARGET probator)
  return()
endif()
find_package(X11 REQUIRED)

# Named without the bench_ prefix: it is a contender, not a benchmark of its own.
qt_add_executable(startup_empty_window ${CMAKE_CURRENT_LIST_DIR}/startup/EmptyWindow.cpp)
target_link_libraries(startup_empty_window PRIVATE Qt6::Widgets torvane_warnings)

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup/StartupRace.cpp)
target_link_libraries(bench_startup PRIVATE bench_editor_support X11::X11 torvane_warnings)
target_include_directories(bench_startup PRIVATE ${CMAKE_CURRENT_LIST_DIR}/editor)
target_compile_definitions(bench_startup PRIVATE
  EMPTY_WINDOW_PATH="$<TARGET_FILE:startup_empty_window>"
  QUILLON_PATH="$<TARGET_FILE:quillon>"
  PROBATOR_PATH="$<TARGET_FILE:probator>")
add_dependencies(bench_startup startup_empty_window quillon probator)
