target_sources(skywaltz_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/planet_test.cpp
)
