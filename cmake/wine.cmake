# Cross-built tests run under Wine. One throwaway prefix serves a whole test
# run: a fixture creates it before the first Wine test and destroys it after
# the last.
set(PELLMOOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME wine_prefix_create
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh create ${PELLMOOR_WINEPREFIX})
set_tests_properties(wine_prefix_create PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
add_test(NAME wine_prefix_destroy
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh destroy ${PELLMOOR_WINEPREFIX})
set_tests_properties(wine_prefix_destroy PROPERTIES FIXTURES_CLEANUP wine)

# Marks test `name` as one that runs under Wine in the shared prefix.
function(pellmoor_wine_test name)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "WINEPREFIX=${PELLMOOR_WINEPREFIX};WINEDEBUG=-all"
    TIMEOUT 600)
endfunction()
