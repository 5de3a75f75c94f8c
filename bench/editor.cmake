# The editor: opening many of the largest config files into one frame (start-up as a
# whole process is bench/startup.cmake's race).
add_library(bench_editor_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/editor/BenchSupport.h ${CMAKE_CURRENT_LIST_DIR}/editor/BenchSupport.cpp)
target_link_libraries(bench_editor_support
  PUBLIC common_ui quillon_codec quillon_document Qt6::Widgets benchmark::benchmark
  PRIVATE torvane_warnings)

add_executable(bench_editor_open ${CMAKE_CURRENT_LIST_DIR}/editor/OpenDocumentsBench.cpp)
target_link_libraries(bench_editor_open PRIVATE bench_editor_support quillon_mainwindow
                      benchmark::benchmark torvane_warnings)

# One keystroke in the longest text with the marks on characters a save would lose, on and
# off; and key to repaint in the frame against a bare text box, at 1,000 and 16,000 lines.
add_executable(bench_editor_marks ${CMAKE_CURRENT_LIST_DIR}/editor/LossMarksBench.cpp)
target_link_libraries(bench_editor_marks PRIVATE bench_editor_support quillon_document
                      quillon_mainwindow benchmark::benchmark torvane_warnings)

# Save answered with "Replace and Save" at 5,000, 10,000 and 30,000 marked characters.
add_executable(bench_editor_replace ${CMAKE_CURRENT_LIST_DIR}/editor/ReplaceAndSaveBench.cpp)
target_link_libraries(bench_editor_replace PRIVATE bench_editor_support quillon_document
                      benchmark::benchmark torvane_warnings)

# A double-click storm on the running editor: 100 and 1,000 files handed over, Exit with all
# of them open, and a request of megabytes from a hostile client.
add_executable(bench_editor_many ${CMAKE_CURRENT_LIST_DIR}/editor/ManyFilesBench.cpp)
target_link_libraries(bench_editor_many PRIVATE bench_editor_support quillon_startup
                      benchmark::benchmark torvane_warnings)

# Close to exit (no document, 20 documents) against an empty QMainWindow, and the private
# memory of 100 documents against bare QPlainTextEdit windows, each child a process of its
# own.
add_executable(bench_editor_exit ${CMAKE_CURRENT_LIST_DIR}/editor/ExitAndMemoryBench.cpp)
target_link_libraries(bench_editor_exit PRIVATE bench_editor_support quillon_startup
                      torvane_warnings)
