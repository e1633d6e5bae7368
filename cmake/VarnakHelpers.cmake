# Small helpers shared by every folder of the build.

# Adds every child folder of the current folder (tests, benchmarks and fuzz
# targets mirror the source folders). A child folder that holds C++ sources
# but no CMakeLists.txt is a configure error, never a silent drop (the shared
# helper folders "common" and "support" are used by their siblings). Folders of
# the Qt parts (controls, app, editor, and those named after GUI_ONLY) join
# only in builds with the GUI.
function(varnak_add_child_directories)
  cmake_parse_arguments(C "" "" "GUI_ONLY" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${child})
    if(NOT IS_DIRECTORY ${dir})
      continue()
    endif()
    if(NOT EXISTS ${dir}/CMakeLists.txt)
      file(GLOB_RECURSE sources ${dir}/*.cpp)
      if(sources AND NOT child MATCHES "^(common|support)$")
        message(FATAL_ERROR "${dir} holds sources but no CMakeLists.txt")
      endif()
      continue()
    endif()
    if(NOT VARNAK_WITH_GUI AND (child MATCHES "^(controls|app|editor)$" OR child IN_LIST C_GUI_ONLY))
      continue()
    endif()
    add_subdirectory(${child})
  endforeach()
endfunction()

# The command-line tools that need Qt.
set(VARNAK_GUI_TOOLS brelith-edit varnak-gallery)

# varnak_add_gtest(NAME name SOURCES ... LIBS ... [LABELS ...] [GUI])
# One GoogleTest executable registered as one CTest test. GUI tests run on
# Qt's offscreen platform. The label "threaded" marks tests that the tsan
# preset runs.
function(varnak_add_gtest)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  # Test helpers are named from the repository root too ("tests/support/...").
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${T_NAME} PRIVATE VARNAK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               VARNAK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set(env "")
  if(T_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(env)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
  endif()
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# varnak_add_fuzz_target(NAME name SOURCES ... LIBS ... CORPUS dir)
# The sources define LLVMFuzzerTestOneInput. With VARNAK_BUILD_FUZZ (the fuzz
# preset, clang) a libFuzzer executable is built. With tests on, the same
# sources are linked with a plain driver that replays every file of the corpus
# folder, so CI runs the corpus as an ordinary test without fuzzing.
function(varnak_add_fuzz_target)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(VARNAK_BUILD_FUZZ)
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  endif()
  if(VARNAK_BUILD_TESTS AND NOT VARNAK_BUILD_FUZZ)
    add_executable(${F_NAME}_corpus ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/common/CorpusMain.cpp)
    target_link_libraries(${F_NAME}_corpus PRIVATE ${F_LIBS})
    add_test(NAME ${F_NAME}_corpus COMMAND ${F_NAME}_corpus ${F_CORPUS})
  endif()
endfunction()
