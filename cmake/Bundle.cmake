# The application bundle laid out in the build tree exactly as installed:
#   VYK-Wimbrax/bin, lib, PlugIns/<Name>.appex, Resources
set(VYK_BUNDLE_DIR ${CMAKE_BINARY_DIR}/VYK-Wimbrax)
set(VYK_BUNDLE_BIN ${VYK_BUNDLE_DIR}/bin)
set(VYK_BUNDLE_LIB ${VYK_BUNDLE_DIR}/lib)
set(VYK_BUNDLE_PLUGINS ${VYK_BUNDLE_DIR}/PlugIns)
set(VYK_BUNDLE_RESOURCES ${VYK_BUNDLE_DIR}/Resources)
set(VYK_ARTIFACTS_DIR ${CMAKE_BINARY_DIR}/artifacts)
file(MAKE_DIRECTORY ${VYK_ARTIFACTS_DIR})
