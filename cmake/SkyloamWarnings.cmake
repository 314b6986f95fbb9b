# Warnings are errors in our own code. Third-party headers come in as SYSTEM
# includes so they stay out of this.
add_library(skyloam_warnings INTERFACE)
target_compile_options(skyloam_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
