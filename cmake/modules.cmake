# kelvane_module(NAME DIR [DEPS...]): a static library of every .cpp in DIR.
# A module without sources yet is an interface library, so layers can be filled one at a time.
set(KELVANE_MODULES "" CACHE INTERNAL "")
function(kelvane_module name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
  set(KELVANE_MODULES ${KELVANE_MODULES} ${name} CACHE INTERNAL "")
endfunction()

# kelvane_test_suite(NAME DIR [DEPS...]): one GoogleTest executable of every *_test.cpp in DIR.
function(kelvane_test_suite name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_fixture.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} test_support GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;KELVANE_HEADLESS=1;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/tests/player-config"
    TIMEOUT 300)
endfunction()
