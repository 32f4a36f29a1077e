# The publisher's public key that every downloaded update must be signed with (ECDSA P-256).
# CORVANE_UPDATE_KEY names its PEM file; without it the build makes a demo key pair of its own
# in update_key/ of the build folder, and the demo service signs what it serves with it.
# Either way the key's point is compiled into update_public_key.cpp.
set(CORVANE_UPDATE_KEY "" CACHE FILEPATH "the publisher's update-signing public key (PEM, P-256)")
find_program(CORVANE_OPENSSL openssl REQUIRED)

set(_keys "${CMAKE_BINARY_DIR}/update_key")
file(MAKE_DIRECTORY "${_keys}")

function(_corvane_openssl)
  execute_process(COMMAND ${CORVANE_OPENSSL} ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "openssl ${ARGN}: ${err}")
  endif()
endfunction()

# A private key of our own, made once per build folder and readable by its owner only.
function(_corvane_make_key path)
  if(NOT EXISTS "${path}")
    _corvane_openssl(genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "${path}.new")
    file(CHMOD "${path}.new" PERMISSIONS OWNER_READ OWNER_WRITE)
    file(RENAME "${path}.new" "${path}")
  endif()
endfunction()

if(CORVANE_UPDATE_KEY)
  if(NOT EXISTS "${CORVANE_UPDATE_KEY}")
    message(FATAL_ERROR "CORVANE_UPDATE_KEY: no such file: ${CORVANE_UPDATE_KEY}")
  endif()
  set(CORVANE_DEMO_UPDATE_KEY "")
  set(_public_pem "${CORVANE_UPDATE_KEY}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CORVANE_UPDATE_KEY}")
else()
  set(CORVANE_DEMO_UPDATE_KEY "${_keys}/demo_update_key.pem")
  _corvane_make_key("${CORVANE_DEMO_UPDATE_KEY}")
  set(_public_pem "${_keys}/demo_update_key.pub.pem")
  _corvane_openssl(pkey -in "${CORVANE_DEMO_UPDATE_KEY}" -pubout -out "${_public_pem}")
endif()

# A public key only: a private key has no place on a build machine that is not the publisher's.
file(READ "${_public_pem}" _pem)
if(NOT _pem MATCHES "-----BEGIN PUBLIC KEY-----")
  message(FATAL_ERROR "CORVANE_UPDATE_KEY must be a PEM public key (openssl pkey -pubout)")
endif()
_corvane_openssl(pkey -pubin -in "${_public_pem}" -outform DER -out "${_keys}/public.der")
file(READ "${_keys}/public.der" _der HEX)
# SubjectPublicKeyInfo of id-ecPublicKey on prime256v1, then the uncompressed point 04‖X‖Y.
set(_p256_prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
string(LENGTH "${_der}" _length)
string(FIND "${_der}" "${_p256_prefix}" _at)
if(NOT _at EQUAL 0 OR NOT _length EQUAL 182)
  message(FATAL_ERROR "CORVANE_UPDATE_KEY must be an ECDSA P-256 (prime256v1) public key")
endif()
string(SUBSTRING "${_der}" 54 128 _point)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " CORVANE_UPDATE_KEY_BYTES "${_point}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/update_public_key.cpp.in" "${_keys}/update_public_key.cpp" @ONLY)
set(CORVANE_UPDATE_PUBLIC_KEY_SOURCE "${_keys}/update_public_key.cpp")

# For tests: a second key pair, to sign with a key the program does not trust.
set(CORVANE_OTHER_TEST_KEY "${_keys}/other_test_key.pem")
_corvane_make_key("${CORVANE_OTHER_TEST_KEY}")

# corvane_sign_with_demo_key(TARGET): for tests, writes <file>.sig beside the target's file after
# each build, signed with the demo key (nothing when the build has a publisher's key).
function(corvane_sign_with_demo_key target)
  if(CORVANE_DEMO_UPDATE_KEY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CORVANE_OPENSSL} dgst -sha256 -sign ${CORVANE_DEMO_UPDATE_KEY} -out $<TARGET_FILE:${target}>.sig
        $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
