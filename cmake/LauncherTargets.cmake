# Common settings for the project's own targets (not for third-party code).

# The layers of the program, lowest first. Each may include the headers of those before it
# and never those after it: a library of a layer sees a folder of links to its own source
# folder and the folders below it (build/<tree>/layers/<layer>/), so including a header of a
# higher layer fails to build. Tests, benchmarks and fuzz targets see the whole tree.
set(LAUNCHER_LAYERS services frame launcher app)

function(launcher_layer_view layer out)
  list(FIND LAUNCHER_LAYERS ${layer} position)
  if(position LESS 0)
    message(FATAL_ERROR "unknown layer ${layer}")
  endif()
  set(view ${CMAKE_BINARY_DIR}/layers/${layer})
  foreach(index RANGE ${position})
    list(GET LAUNCHER_LAYERS ${index} below)
    if(NOT EXISTS ${view}/${below})
      file(MAKE_DIRECTORY ${view})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${below} ${view}/${below} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${view} PARENT_SCOPE)
endfunction()

# launcher_defaults(target [layer]): warnings as errors, the platform definitions, and the
# include path: the layer's view for the program's own libraries, the whole tree otherwise.
function(launcher_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(ARGC GREATER 1)
    launcher_layer_view(${ARGV1} view)
    target_include_directories(${target} PRIVATE ${view})
    set_target_properties(${target} PROPERTIES LAUNCHER_LAYER ${ARGV1})
  else()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
  if(WIN32)
    # GBK data; paths and the screen go through the wide calls.
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # Each function and datum in a section of its own, so a program linked with
    # --gc-sections keeps only what it reaches.
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
    # Optimised for size: the program's time goes to the system's file and window calls,
    # not to its own code, and a small program starts sooner.
    target_compile_options(${target} PRIVATE -Os)
    # Reproducible: the same sources give the same bytes wherever and whenever they are
    # built. No folder of the build in the code (file names in macros and debug
    # information are written relative to the tree) and no link time in the header.
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                                             -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  elseif(LAUNCHER_SANITIZE)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# Windows tests run side by side, each on a Wine desktop of its own (a prefix and an X
# display) that cmake/wine_desktop.sh takes for it: test programs through the
# emulator (cmake/mingw-*.cmake), scripts through LAUNCHER_ON_DESKTOP before their command.
# Their time limit only catches a hung test: side by side on a busy machine a test takes
# several times as long as alone.
set(LAUNCHER_ON_DESKTOP bash ${CMAKE_CURRENT_LIST_DIR}/wine_desktop.sh)
function(launcher_desktop_tests)
  set_tests_properties(${ARGN} PROPERTIES TIMEOUT 900)
endfunction()

# A test program: GoogleTest, one ctest entry per program. Under the Windows build it runs
# under Wine, on a desktop of its own. LABELS english also runs it a second time with the
# 1252 code page; LABELS quick puts it in `./run test --quick` (a Windows test that starts no
# program but itself).
function(launcher_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  launcher_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
    # Every Windows test program first holds the system code page to its run's locale.
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/LocaleCodePageCheck.cpp)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(WIN32)
    launcher_desktop_tests(${name})
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
