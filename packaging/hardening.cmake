# The usual hardening of a Linux distribution's programs: a position-
# independent executable, stack protection, fortified libc calls (they need
# optimisation) and a read-only relocation table bound at start. Left out of
# the sanitizer and fuzzer builds, whose instrumentation has its own checks.
option(TESSEVAR_HARDEN "Build with the usual hardening flags" ON)
if(NOT TESSEVAR_HARDEN OR TESSEVAR_SANITIZE OR TESSEVAR_FUZZ OR APPLE OR WIN32)
  return()
endif()
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -fstack-clash-protection
  "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro -Wl,-z,now)
