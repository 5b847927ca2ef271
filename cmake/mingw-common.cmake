# Shared part of the MinGW toolchains. VEXLO_DEPS_PREFIX (from the cache or
# the environment) is the prefix where scripts/build-deps.sh installed the
# cross-built dependencies; it must be in the find root path, since the
# ONLY find modes ignore prefixes that are merely on CMAKE_PREFIX_PATH.
if(NOT VEXLO_DEPS_PREFIX AND DEFINED ENV{VEXLO_DEPS_PREFIX})
  set(VEXLO_DEPS_PREFIX $ENV{VEXLO_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH ${VEXLO_MINGW_ROOT} ${VEXLO_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(VEXLO_DEPS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${VEXLO_DEPS_PREFIX}/lib/pkgconfig)
endif()
