# The OpenPGP key of the Linux edition's apt repository. The package ships its public keyring in
# /usr/share/keyrings, and its apt source trusts that keyring alone (Signed-By). CORVANE_APT_KEYRING
# names the publisher's public keyring (binary, gpg --export); without it the build makes a demo
# key of its own in apt_key/ of the build folder, and the demo service signs its repository with it.
#   CORVANE_APT_KEYRING_FILE  the keyring the package ships (as corvane-client-archive-keyring.gpg)
#   CORVANE_DEMO_APT_KEY      the demo key's secret half (ASCII-armoured, owner-only), or empty
#   CORVANE_APT_URI           the repository: the service host's /apt
set(CORVANE_APT_KEYRING "" CACHE FILEPATH "the publisher's apt repository keyring (binary OpenPGP public key)")
set(CORVANE_APT_URI "http://${CORVANE_DEFAULT_SERVICE_HOST}/apt")

set(_apt_keys "${CMAKE_BINARY_DIR}/apt_key")
file(MAKE_DIRECTORY "${_apt_keys}")
file(CHMOD "${_apt_keys}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)  # the secret half lives here
if(CORVANE_APT_KEYRING)
  if(NOT EXISTS "${CORVANE_APT_KEYRING}")
    message(FATAL_ERROR "CORVANE_APT_KEYRING: no such file: ${CORVANE_APT_KEYRING}")
  endif()
  set(CORVANE_DEMO_APT_KEY "")
  set(CORVANE_APT_KEYRING_FILE "${CORVANE_APT_KEYRING}")
  return()
endif()
# The demo pair's two halves, made together (never one of them anew beside an old other).
set(CORVANE_APT_KEYRING_FILE "${_apt_keys}/demo_apt_keyring.gpg")

find_program(CORVANE_GPG gpg REQUIRED)
find_program(CORVANE_GPGCONF gpgconf REQUIRED)
set(CORVANE_DEMO_APT_KEY "${_apt_keys}/demo_apt_key.asc")
if(NOT EXISTS "${CORVANE_DEMO_APT_KEY}" OR NOT EXISTS "${CORVANE_APT_KEYRING_FILE}")
  # Made in a throw-away GnuPG home, whose agent is stopped before it goes: the secret half is
  # kept as a file, imported by whoever signs (the demo service) into a home of its own.
  set(_home "${_apt_keys}/gnupg.new")
  file(REMOVE_RECURSE "${_home}")
  file(MAKE_DIRECTORY "${_home}")
  file(CHMOD "${_home}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(_gpg ${CORVANE_GPG} --homedir "${_home}" --batch --pinentry-mode loopback --passphrase "")
  execute_process(COMMAND ${_gpg} --quick-generate-key "Drovessa demo archive <archive@drovessa.invalid>"
      ed25519 sign never
    RESULT_VARIABLE _rc ERROR_VARIABLE _err OUTPUT_QUIET)
  if(_rc EQUAL 0)
    execute_process(COMMAND ${_gpg} --armor --export-secret-keys OUTPUT_FILE "${CORVANE_DEMO_APT_KEY}.new"
      RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  endif()
  if(_rc EQUAL 0)
    execute_process(COMMAND ${_gpg} --export OUTPUT_FILE "${CORVANE_APT_KEYRING_FILE}.new"
      RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  endif()
  execute_process(COMMAND ${CORVANE_GPGCONF} --homedir "${_home}" --kill gpg-agent OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE_RECURSE "${_home}")
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "gpg could not make the demo apt key: ${_err}")
  endif()
  file(CHMOD "${CORVANE_DEMO_APT_KEY}.new" PERMISSIONS OWNER_READ OWNER_WRITE)
  file(RENAME "${CORVANE_APT_KEYRING_FILE}.new" "${CORVANE_APT_KEYRING_FILE}")
  file(RENAME "${CORVANE_DEMO_APT_KEY}.new" "${CORVANE_DEMO_APT_KEY}")
endif()
