# The warning set of every program and library of Velkan (builder, editor, install runtime and
# their tests), kept in one place: the runtime's separate cross-build includes this file too.
# VELKAN_WERROR turns every warning into an error (CI builds with it on).
option(VELKAN_WERROR "Treat compiler warnings as errors" OFF)
set(VELKAN_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wformat=2
    -Wimplicit-fallthrough)
if(VELKAN_WERROR)
  list(APPEND VELKAN_WARNINGS -Werror)
endif()
