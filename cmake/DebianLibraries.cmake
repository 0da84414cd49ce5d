# libjpeg-turbo and libpng, built as static libraries for the program from Debian's own source packages.
# The build fetches the sources once into <build>/third-party (apt with its own lists and cache there, see
# fetch-debian-sources.sh) and builds them with our toolchain file alongside the rest of the build.
# Targets for the program: pellorin_jpeg and pellorin_png (which brings the static zlib).
include(ExternalProject)

set(PELLORIN_THIRD_PARTY ${CMAKE_BINARY_DIR}/third-party)
set(jpeg_src ${PELLORIN_THIRD_PARTY}/src/libjpeg-turbo)
set(png_src ${PELLORIN_THIRD_PARTY}/src/libpng1.6)
set(jpeg_bin ${PELLORIN_THIRD_PARTY}/build/libjpeg-turbo)
set(png_bin ${PELLORIN_THIRD_PARTY}/build/libpng)

# The static zlib of libz-mingw-w64-dev, named as a file: CMake's finder would pick the DLL's import library.
set(PELLORIN_ZLIB_STATIC /usr/x86_64-w64-mingw32/lib/libz.a)
if(NOT EXISTS ${PELLORIN_ZLIB_STATIC})
  message(FATAL_ERROR "The program needs the static zlib of libz-mingw-w64-dev (${PELLORIN_ZLIB_STATIC})")
endif()
find_program(PELLORIN_NASM nasm)
if(NOT PELLORIN_NASM)
  message(FATAL_ERROR "libjpeg-turbo's SIMD code needs nasm (cmake/install-deps.sh installs it)")
endif()

add_custom_command(
  OUTPUT ${jpeg_src}/.unpacked ${png_src}/.unpacked
  COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/fetch-debian-sources.sh ${PELLORIN_THIRD_PARTY} libjpeg-turbo libpng1.6
  COMMENT "Fetching the Debian sources of libjpeg-turbo and libpng"
  VERBATIM)
add_custom_target(debian_sources DEPENDS ${jpeg_src}/.unpacked ${png_src}/.unpacked)

set(common_args
  -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
  -DCMAKE_BUILD_TYPE=Release
  # -O2 as Debian builds them: the hot loops are libjpeg-turbo's SIMD code, and -O3 costs build time.
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
  # x86_64, not AMD64: libpng turns its SSE2 filters off for a processor name it does not know.
  -DCMAKE_SYSTEM_PROCESSOR=x86_64
  # Never installed; a Unix path here keeps their configure steps from choosing a Windows one.
  -DCMAKE_INSTALL_PREFIX=${PELLORIN_THIRD_PARTY}/install)
if(CCACHE_PROGRAM)
  list(APPEND common_args -DCMAKE_C_COMPILER_LAUNCHER=${CCACHE_PROGRAM})
endif()

# $(MAKE) keeps the sub-builds in the make job server, so they share the build's -j.
ExternalProject_Add(libjpeg_turbo
  SOURCE_DIR ${jpeg_src}
  BINARY_DIR ${jpeg_bin}
  DOWNLOAD_COMMAND ""
  UPDATE_COMMAND ""
  CMAKE_ARGS ${common_args}
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_ARITH_ENC=OFF
    -DCMAKE_ASM_NASM_COMPILER=${PELLORIN_NASM}
    # No time stamp in the objects nasm writes: the same sources give the same library.
    -DCMAKE_ASM_NASM_FLAGS=--reproducible
  BUILD_COMMAND $(MAKE) jpeg-static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${jpeg_bin}/libjpeg.a
  DEPENDS debian_sources)

ExternalProject_Add(libpng
  SOURCE_DIR ${png_src}
  BINARY_DIR ${png_bin}
  DOWNLOAD_COMMAND ""
  UPDATE_COMMAND ""
  CMAKE_ARGS ${common_args}
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
    # Without awk libpng takes its shipped configuration header instead of generating it and its symbol
    # lists (a dozen preprocessor runs the static library does not need).
    -DAWK=OFF
    -DZLIB_LIBRARY=${PELLORIN_ZLIB_STATIC} -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
  BUILD_COMMAND $(MAKE) png_static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${png_bin}/libpng16.a
  DEPENDS debian_sources)

# Imported targets need their header folders to exist when the build is configured.
file(MAKE_DIRECTORY ${jpeg_src} ${jpeg_bin} ${png_src} ${png_bin})

add_library(pellorin_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(pellorin_jpeg PROPERTIES
  IMPORTED_LOCATION ${jpeg_bin}/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES "${jpeg_src};${jpeg_bin}")
add_dependencies(pellorin_jpeg libjpeg_turbo)

add_library(pellorin_png STATIC IMPORTED GLOBAL)
set_target_properties(pellorin_png PROPERTIES
  IMPORTED_LOCATION ${png_bin}/libpng16.a
  INTERFACE_INCLUDE_DIRECTORIES "${png_src};${png_bin}"
  INTERFACE_LINK_LIBRARIES ${PELLORIN_ZLIB_STATIC})
add_dependencies(pellorin_png libpng)

# The libraries' notices, from the sources the build used, go beside the program.
set(notices ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/THIRD-PARTY-NOTICES.txt)
add_custom_command(
  OUTPUT ${notices}
  COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/write-notices.sh ${notices} ${jpeg_src} ${png_src}
          /usr/share/doc/libz-mingw-w64-dev/copyright
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/write-notices.sh
  COMMENT "Writing THIRD-PARTY-NOTICES.txt"
  VERBATIM)
add_custom_target(third_party_notices ALL DEPENDS ${notices})
# Only through the target: a second rule for the fetch's outputs would run it twice in parallel.
add_dependencies(third_party_notices debian_sources)
