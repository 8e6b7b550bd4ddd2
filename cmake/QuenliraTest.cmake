find_package(GTest REQUIRED)
include(GoogleTest)

