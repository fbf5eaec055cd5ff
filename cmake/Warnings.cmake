# Warnings for every target; errors only when asked (CI turns VRX_WERROR on), so a
# newer compiler's new warning never stops someone building a release.
option(VRX_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra)
if(VRX_WERROR)
  add_compile_options(-Werror)
endif()
# GCC 12 reports impossible overlaps inside std::string concatenation once it inlines
# deeply (-O3); the warning is known to be false there (GCC bug 105329), so it says
# nothing about our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
endif()
