# Build-time connection settings. The program reads no command line, environment variable or
# settings file: where the central catalog lives and which passwords the two connections use
# are compiled in. The passwords are kept out of the binary's plain strings (see
# platform/core/Obfuscated.h); that is no protection against a determined reader, only against
# a casual `strings`.
set(ZELTO_CATALOG_HOST "127.0.0.1" CACHE STRING "Host name or address of the central catalog server (database zelto_mob)")
set(ZELTO_CATALOG_PORT "5432" CACHE STRING "Port of the central catalog server")
set(ZELTO_DB_USER "zelto" CACHE STRING "Database user of both connections")
set(ZELTO_CATALOG_PASSWORD "" CACHE STRING "Password of the catalog connection")
set(ZELTO_COMPANY_PASSWORD "" CACHE STRING "Password of the company connection")

function(wik_obfuscate out text seed)
  string(LENGTH "${text}" n)
  set(bytes "")
  set(key ${seed})
  if(n GREATER 0)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last})
      string(SUBSTRING "${text}" ${i} 1 ch)
      string(HEX "${ch}" hex)
      # a multi-byte UTF-8 character gives several bytes
      string(LENGTH "${hex}" hl)
      math(EXPR hb "${hl} / 2 - 1")
      foreach(j RANGE 0 ${hb})
        math(EXPR off "${j} * 2")
        string(SUBSTRING "${hex}" ${off} 2 byte)
        math(EXPR v "0x${byte} ^ (${key} & 255)" OUTPUT_FORMAT DECIMAL)
        string(APPEND bytes "${v},")
        math(EXPR key "(${key} * 73 + 41) & 65535")
      endforeach()
    endforeach()
  endif()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

wik_obfuscate(WIK_CATALOG_PASSWORD_BYTES "${ZELTO_CATALOG_PASSWORD}" 2917)
wik_obfuscate(WIK_COMPANY_PASSWORD_BYTES "${ZELTO_COMPANY_PASSWORD}" 5113)
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildSettings.h.in ${CMAKE_BINARY_DIR}/generated/BuildSettings.h @ONLY)
add_library(wik_settings INTERFACE)
target_include_directories(wik_settings INTERFACE ${CMAKE_BINARY_DIR}/generated)
