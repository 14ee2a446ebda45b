# SPDX-License-Identifier: MIT
# Every switch and setting of the build, each with its line in the summary that cmake prints
# once it has read every directory (and found every package the switches ask for).
include(FeatureSummary)

# A setting's line in the summary: enabled and with its value when it is set, disabled when it
# is empty.
function(vistameter_setting_info name description)
    if(${name})
        add_feature_info(${name} ON "${description}: ${${name}}")
    else()
        add_feature_info(${name} OFF "${description}")
    endif()
endfunction()

# --- What the program has built in (config.h).
# The host that answers the statistics request; never read at run time.
set(VISTAMETER_SERVICE_HOST "r.qzone.qq.com" CACHE STRING "Host of the statistics service")
vistameter_setting_info(VISTAMETER_SERVICE_HOST "the statistics service asked")
# The maker's web page that the web-page button opens. The default lies in the reserved
# example domain and leads nowhere: a package sets the real page.
set(VISTAMETER_MAKER_PAGE "https://pellin.example.com/" CACHE STRING
    "Address of the maker's web page that the web-page button opens")
vistameter_setting_info(VISTAMETER_MAKER_PAGE "the web page the web-page button opens")

# --- What is built. The benchmarks ask the demo service, so either switch builds it.
option(BUILD_TESTING "Build the tests in tests/ and run them with ctest" ON)
add_feature_info(BUILD_TESTING BUILD_TESTING "the tests in tests/, run by ctest")
option(VISTAMETER_DEMO "Build the offline demo service in demo/" ON)
add_feature_info(VISTAMETER_DEMO VISTAMETER_DEMO "the offline demo service in demo/")
option(VISTAMETER_BENCH "Build the benchmarks in bench/ (run them with scripts/bench)" ON)
add_feature_info(VISTAMETER_BENCH VISTAMETER_BENCH "the benchmarks in bench/, run by scripts/bench")

# --- How it is compiled (cmake/BuildFlags.cmake); scripts/dev test turns the strict parts on.
option(VISTAMETER_WERROR "Treat compiler warnings as errors" OFF)
add_feature_info(VISTAMETER_WERROR VISTAMETER_WERROR "compiler warnings are errors")
set(VISTAMETER_SANITIZE "" CACHE STRING
    "Sanitizers that everything is built with, as -fsanitize= lists them (address,undefined)")
vistameter_setting_info(VISTAMETER_SANITIZE
    "everything built with sanitizers instead of the hardening flags")
option(VISTAMETER_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
add_feature_info(VISTAMETER_FUZZ VISTAMETER_FUZZ
    "the libFuzzer targets in fuzz/, with everything built for fuzzing")

# --- What the package says about where it comes from (packaging/CMakeLists.txt). Whatever is
# left empty is left out where the format allows and named plainly as unset where it doesn't:
# never a made-up address.
set(VISTAMETER_HOMEPAGE "" CACHE STRING "The project's web page, for the package and AppStream")
vistameter_setting_info(VISTAMETER_HOMEPAGE "the package's and AppStream's homepage")
set(VISTAMETER_PACKAGE_CONTACT "" CACHE STRING
    "Maintainer of the Debian package, as Name <address>")
vistameter_setting_info(VISTAMETER_PACKAGE_CONTACT "the package's maintainer")
set(VISTAMETER_SCREENSHOT_URL "" CACHE STRING
    "Where docs/screenshot.png is published (default <homepage>/docs/screenshot.png)")
vistameter_setting_info(VISTAMETER_SCREENSHOT_URL "where software centres fetch the screenshot")
# AppStream names a component by a reversed domain. Like the maker's page, the default lies in
# the reserved example domain: a package sets one that the project owns.
set(VISTAMETER_APPSTREAM_ID "com.example.vistameter" CACHE STRING
    "AppStream component id, a reversed domain name")
vistameter_setting_info(VISTAMETER_APPSTREAM_ID "the AppStream component id")

# The summary comes at the end of the top directory, after every find_package of every
# directory, so that it names each package and whether it was found.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL feature_summary WHAT ALL INCLUDE_QUIET_PACKAGES)
