if(TALLOWIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# With libFuzzer, every library is instrumented for coverage, not only the
# fuzz targets' own sources; the fuzz targets add -fsanitize=fuzzer to link.
if(TALLOWIN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
