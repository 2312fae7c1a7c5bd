# Flat 68000 images of our own C programs, built with Debian's m68k
# cross-compiler for the plain 68000 (no libgcc: it is 68020 code; the Palm
# SDK's runtime helpers supply the 32-bit multiply and divide and the block
# memory routines, built here without -mshort). The code is position
# independent: each image is linked at two bases and the two must be equal.

find_program(QUORVANE_M68K_GCC m68k-linux-gnu-gcc REQUIRED)
find_program(QUORVANE_M68K_OBJCOPY m68k-linux-gnu-objcopy REQUIRED)
set(QUORVANE_M68K_PROGRAMS_DIR "${CMAKE_SOURCE_DIR}/tests/emulator/programs")
set(QUORVANE_M68K_RUNTIME_DIR "${CMAKE_SOURCE_DIR}/apps/sdk")

# quorvane_m68k_image(<output .bin> <optimisation flag> SOURCES <c files> [DEFINES <d>...])
function(quorvane_m68k_image output optimisation)
  cmake_parse_arguments(arg "" "" "SOURCES;DEFINES" ${ARGN})
  set(support "${QUORVANE_M68K_PROGRAMS_DIR}/support")
  set(flags -m68000 ${optimisation} -ffreestanding -nostdlib -mpcrel -Wall -Wextra -Werror
            -Wl,--build-id=none -Wl,--no-warn-rwx-segments
            -I${QUORVANE_M68K_PROGRAMS_DIR} -I${QUORVANE_M68K_RUNTIME_DIR}/include -T ${support}/link.ld)
  foreach(d ${arg_DEFINES})
    list(APPEND flags -D${d})
  endforeach()
  set(sources ${arg_SOURCES} ${QUORVANE_M68K_RUNTIME_DIR}/src/Arithmetic.c ${QUORVANE_M68K_RUNTIME_DIR}/src/Memory.c)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${QUORVANE_M68K_GCC} ${flags} -Wl,--defsym=BASE=0 -o "${output}.elf" ${sources}
    COMMAND ${QUORVANE_M68K_GCC} ${flags} -Wl,--defsym=BASE=0x10000 -o "${output}.moved.elf" ${sources}
    COMMAND ${QUORVANE_M68K_OBJCOPY} -O binary "${output}.elf" "${output}"
    COMMAND ${QUORVANE_M68K_OBJCOPY} -O binary "${output}.moved.elf" "${output}.moved"
    COMMAND ${CMAKE_COMMAND} -E compare_files "${output}" "${output}.moved"
    DEPENDS ${sources} ${support}/link.ld ${support}/program.h ${QUORVANE_M68K_RUNTIME_DIR}/include/PalmTypes.h
    COMMENT "68000 image ${output}"
    VERBATIM)
endfunction()
