target_sources(skywaltz_tests PRIVATE
  walker_world.cpp
  spacewalker_test.cpp
  player_test.cpp
)
