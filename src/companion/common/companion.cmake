# Shared set-up of the two companion libraries. Each is a shared library beside the executable,
# loaded by the program at call time; it exports only its extern "C" entry points.
include_guard(GLOBAL)

# Environment variables that let tests drive the libraries without a human (answer questions,
# post feedback without showing the form, record boxes instead of showing them). Off unless
# asked for: scripts/test and CI turn it on; what users run never carries them.
option(ZETTARA_TEST_HOOKS "Build the companion libraries with their test hooks" OFF)

function(zettara_companion_library name)
    set(ZETTARA_COMPANION_DIR ${PROJECT_SOURCE_DIR}/src/companion)
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${ZETTARA_COMPANION_DIR}/common/*.cpp)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PRIVATE ${ZETTARA_COMPANION_DIR})
    target_link_libraries(${name} PRIVATE zettara_platform_core zettara_platform_os zettara_platform_net
                                           zettara_platform_ui Qt6::Widgets Qt6::Network)
    if(ZETTARA_TEST_HOOKS)
        target_compile_definitions(${name} PRIVATE ZETTARA_TEST_HOOKS)
    endif()
    set_target_properties(${name} PROPERTIES
        AUTOMOC ON
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    # The static platform code linked in stays private to the library.
    if(NOT APPLE)
        target_link_options(${name} PRIVATE LINKER:--exclude-libs,ALL)
    endif()
endfunction()

# The tests load the built libraries from the bin folder, so build them first. Tests that need
# the hooks skip themselves in a build without them.
function(zettara_companion_test_order)
    foreach(test_target test_system test_platform_os test_platform_ui)
        if(TARGET ${test_target})
            add_dependencies(${test_target} Update SendComment)
            if(ZETTARA_TEST_HOOKS)
                target_compile_definitions(${test_target} PRIVATE ZETTARA_TEST_HOOKS)
            endif()
        endif()
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL zettara_companion_test_order)
