# Outside libraries. Natively: Debian's packages. For Windows: MinGW's zlib package, and
# jsoncpp, tinyxml2 and GoogleTest compiled here from Debian's sources (tools/bootstrap.sh
# fetches them into CORVANE_DEPS).
set(CORVANE_DEPS "$ENV{CORVANE_DEPS}")
if(NOT CORVANE_DEPS)
  set(CORVANE_DEPS "/var/cache/corvane-deps")
endif()

if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)

  set(_jsoncpp "${CORVANE_DEPS}/src/jsoncpp")
  if(NOT EXISTS "${_jsoncpp}/src/lib_json/json_value.cpp")
    message(FATAL_ERROR "jsoncpp sources missing in ${_jsoncpp}: run tools/bootstrap.sh")
  endif()
  add_library(corvane_jsoncpp STATIC
    ${_jsoncpp}/src/lib_json/json_reader.cpp
    ${_jsoncpp}/src/lib_json/json_value.cpp
    ${_jsoncpp}/src/lib_json/json_writer.cpp)
  target_include_directories(corvane_jsoncpp SYSTEM PUBLIC ${_jsoncpp}/include)
  target_compile_options(corvane_jsoncpp PRIVATE -w)
  add_library(JsonCpp::JsonCpp ALIAS corvane_jsoncpp)

  set(_tinyxml2 "${CORVANE_DEPS}/src/tinyxml2")
  if(NOT EXISTS "${_tinyxml2}/tinyxml2.cpp")
    message(FATAL_ERROR "tinyxml2 sources missing in ${_tinyxml2}: run tools/bootstrap.sh")
  endif()
  add_library(corvane_tinyxml2 STATIC ${_tinyxml2}/tinyxml2.cpp)
  target_include_directories(corvane_tinyxml2 SYSTEM PUBLIC ${_tinyxml2})
  target_compile_options(corvane_tinyxml2 PRIVATE -w)
  add_library(tinyxml2::tinyxml2 ALIAS corvane_tinyxml2)

  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
else()
  find_package(ZLIB REQUIRED)
  find_package(jsoncpp CONFIG REQUIRED)
  if(NOT TARGET JsonCpp::JsonCpp)
    add_library(JsonCpp::JsonCpp ALIAS jsoncpp_lib)
  endif()
  find_package(tinyxml2 CONFIG REQUIRED)
  find_package(GTest REQUIRED)
  find_package(benchmark CONFIG)
  find_package(CURL REQUIRED)
  find_package(Threads REQUIRED)
endif()

# The Linux desktop edition's toolkit host: GTK 3 (with Cairo, Pango and gdk-pixbuf).
if(CORVANE_GTK)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(APPINDICATOR REQUIRED IMPORTED_TARGET ayatana-appindicator3-0.1)
  # The browser engine of the Linux edition; libsoup serves the engine tests' loopback pages.
  pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.1)
  pkg_check_modules(SOUP REQUIRED IMPORTED_TARGET libsoup-3.0)
endif()
