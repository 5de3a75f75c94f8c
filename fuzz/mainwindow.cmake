# The frame's arithmetic: tiling, icon rows, the on-screen test and the clock's timing.
# The fuzz build stops before editor/mainwindow (it has windows), so the plain library
# is built from here.
if(NOT TARGET quillon_framelayout)
  add_library(quillon_framelayout STATIC ${PROJECT_SOURCE_DIR}/editor/mainwindow/FrameLayout.cpp)
  target_include_directories(quillon_framelayout PUBLIC ${PROJECT_SOURCE_DIR}/editor/mainwindow)
endif()
torvane_add_fuzzer(fuzz_frame_layout ${CMAKE_CURRENT_LIST_DIR}/mainwindow/FrameLayoutFuzz.cpp
                   quillon_framelayout)
