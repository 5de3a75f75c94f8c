# The frame's arithmetic: tiling, icon rows, the on-screen test and the clock's timing.
torvane_add_fuzzer(fuzz_frame_layout ${CMAKE_CURRENT_LIST_DIR}/mainwindow/FrameLayoutFuzz.cpp
                   quillon_framelayout)
# Finding text and reading a Go To place.
torvane_add_fuzzer(fuzz_text_search ${CMAKE_CURRENT_LIST_DIR}/mainwindow/TextSearchFuzz.cpp
                   quillon_textsearch)
