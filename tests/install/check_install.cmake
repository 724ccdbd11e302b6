# Installs the build into a fresh prefix, then starts the installed program from an
# unrelated folder: it must find its own files there (the logo is the first it
# loads; the tips and help pages are found the same way) and draw its window.
#   cmake -DBUILD=<build dir> -DWORK=<scratch dir> -P check_install.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/elsewhere")
set(prefix "${WORK}/prefix")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

foreach(installed bin/vellumo share/vellumo/Vellumo.bmp share/vellumo/Tips.dat
                  share/vellumo/help/index.html share/vellumo/help/topic-38.html
                  share/applications/vellumo.desktop
                  share/icons/hicolor/48x48/apps/vellumo.png)
    if(NOT EXISTS "${prefix}/${installed}")
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()

execute_process(COMMAND "${prefix}/bin/vellumo" --screenshot "${WORK}/window.png"
                WORKING_DIRECTORY "${WORK}/elsewhere"
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR errors MATCHES "Cannot")
    message(FATAL_ERROR "the installed program did not start cleanly (${result}):\n${errors}")
endif()
if(NOT EXISTS "${WORK}/window.png")
    message(FATAL_ERROR "no picture of the window was written")
endif()
message(STATUS "installed copy starts from another folder and finds its files")
