# A quick start for a program run once per file that never parses XML: it
# loads no shared library it never calls, and carries the C++ runtime inside.
# Loading libxml2 and what it pulls in (ICU, lzma, zlib, the shared C++
# runtime) costs more than a millisecond of each run. Code that nothing calls
# is dropped (--gc-sections), and a library that nothing left calls is then
# not needed (--as-needed; lld decides that after dropping, the GNU linker
# before it). A program that loads libxml2 keeps the shared C++ runtime, which
# ICU brings along anyway. Linux builds with lld only; sanitizer, fuzz and
# other platforms' builds keep their linkers' defaults.
include(CheckLinkerFlag)
set(DRAVONIX_LEAN_START OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT DRAVONIX_SANITIZE AND NOT DRAVONIX_FUZZ)
  check_linker_flag(CXX "-fuse-ld=lld" DRAVONIX_HAVE_LLD)
  if(DRAVONIX_HAVE_LLD)
    set(DRAVONIX_LEAN_START ON)
    add_compile_options(-ffunction-sections -fdata-sections)
  endif()
endif()

# Links target for a quick start where the build allows it.
function(dravonix_lean_start target)
  if(DRAVONIX_LEAN_START)
    target_link_options(${target} PRIVATE -fuse-ld=lld LINKER:--gc-sections LINKER:--as-needed
                        -static-libstdc++ -static-libgcc)
  endif()
endfunction()
