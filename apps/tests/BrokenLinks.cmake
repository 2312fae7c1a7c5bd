# Links the programs in broken/ with the Palm linker script only; each carries
# one thing the PRC builder must refuse. The tests feed them to the builder.
set(broken_dir "${QUORVANE_PALM_APPS_DIR}/broken")
file(GLOB broken_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/broken/*.S")
set(broken_elves "")
foreach(source IN LISTS broken_sources)
  get_filename_component(name "${source}" NAME_WE)
  set(object "${CMAKE_CURRENT_BINARY_DIR}/broken/${name}.o")
  set(elf "${broken_dir}/${name}.elf")
  add_custom_command(OUTPUT "${elf}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/broken" "${broken_dir}"
    COMMAND ${QUORVANE_M68K_CC} ${QUORVANE_PALM_CFLAGS} -c "${source}" -o "${object}"
    COMMAND ${QUORVANE_M68K_CC} ${QUORVANE_PALM_LDFLAGS} "${object}" -o "${elf}"
    DEPENDS "${source}" "${QUORVANE_PALM_SDK_DIR}/palm.ld"
    COMMENT "Linking broken program ${name}"
    VERBATIM)
  list(APPEND broken_elves "${elf}")
endforeach()
add_custom_target(palm_broken_links ALL DEPENDS ${broken_elves})
