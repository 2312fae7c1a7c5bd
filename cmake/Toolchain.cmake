# Compiler flags and the helper that turns a subsystem folder into a library.

# Static data and code stay below 2 GiB so that 68K code can address native objects.
# The executable sits above the 68K arena (0x10000000-0x4FFFFFFF): the kernel
# starts the program break at a random point up to 1 GiB past the executable,
# which would otherwise land inside the arena's range.
add_compile_options(-fno-pie -Wall -Wextra)
add_link_options(-no-pie -Wl,-Ttext-segment=0x58000000)
set(CMAKE_POSITION_INDEPENDENT_CODE OFF)
if(QUORVANE_WERROR)
  add_compile_options(-Werror)
endif()

# "Test": the configuration CI uses, with AddressSanitizer and UndefinedBehaviorSanitizer.
# GCC leaves float-to-integer overflow out of "undefined"; it is named explicitly.
set(QUORVANE_SANITIZE_FLAGS -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
set(CMAKE_CXX_FLAGS_TEST "-O1 -g" CACHE STRING "" FORCE)
set(CMAKE_C_FLAGS_TEST "-O1 -g" CACHE STRING "" FORCE)
set(CMAKE_EXE_LINKER_FLAGS_TEST "" CACHE STRING "" FORCE)
if(CMAKE_BUILD_TYPE STREQUAL "Test")
  add_compile_options(${QUORVANE_SANITIZE_FLAGS})
  add_link_options(${QUORVANE_SANITIZE_FLAGS})
endif()

set(QUORVANE_ALL_LIBRARIES "" CACHE INTERNAL "")

function(quorvane_library name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp")
  # A folder whose subsystem is not built yet is an interface library.
  if(sources)
    add_library(qv_${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(qv_${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(qv_${name} ${scope} "${CMAKE_SOURCE_DIR}/src")
  target_compile_definitions(qv_${name} ${scope} QUORVANE_BUNDLE_DIR="${QUORVANE_BUNDLE_DIR}/")
  foreach(dep IN LISTS ARGN)
    target_link_libraries(qv_${name} ${scope} qv_${dep})
  endforeach()
  target_link_libraries(qv_${name} ${scope} Threads::Threads)
  set(QUORVANE_ALL_LIBRARIES qv_${name} ${QUORVANE_ALL_LIBRARIES} CACHE INTERNAL "")
endfunction()

find_package(Threads REQUIRED)

# Links the whole system into a program. Subsystems call each other in both
# directions (the emulator reports frame-buffer writes to graphics, graphics
# calls back into 68K code), so the libraries are linked as one group.
function(quorvane_link_system target)
  target_link_libraries(${target} PRIVATE -Wl,--start-group ${QUORVANE_ALL_LIBRARIES} -Wl,--end-group)
endfunction()
