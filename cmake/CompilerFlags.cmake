# Every compiler and linker flag of the project lives here. The presets and scripts only
# switch these options on, so the test build, the release build and the fuzzing build
# all warn alike.

option(VELLUMO_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
option(VELLUMO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELLUMO_BUILD_FUZZER "Build the libFuzzer target for the load path (clang only)" OFF)

add_compile_definitions(QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
add_compile_options(-Wall -Wextra -Wpedantic)
if(VELLUMO_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
endif()

if(VELLUMO_SANITIZE OR VELLUMO_BUILD_FUZZER)
    add_compile_options(-O1 -fno-omit-frame-pointer -fsanitize=address,undefined
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VELLUMO_BUILD_FUZZER)
    # The fuzzer's coverage hooks go into every library; only the fuzz target links its main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
