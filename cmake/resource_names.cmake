# Lists the names a resource header defines as entries of a C++ table,
#   {"IDC_MAIN_SETTINGS", IDC_MAIN_SETTINGS},
# so that a program compiled with the header reads each value from the header
# itself: the table cannot disagree with it, and is listed again whenever the
# header changes.
#   cmake -DHEADER=resources/resource.h -DOUTPUT=resource_names.inc -P resource_names.cmake
file(STRINGS "${HEADER}" defines REGEX "^#define[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+[0-9]")
set(entries "// Listed from ${HEADER} by cmake/resource_names.cmake; do not edit.\n")
foreach(define IN LISTS defines)
  string(REGEX REPLACE "^#define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t].*$" "\\1" name "${define}")
  string(APPEND entries "    {\"${name}\", ${name}},\n")
endforeach()
list(LENGTH defines count)
if(count EQUAL 0)
  message(FATAL_ERROR "${HEADER} defines no identifiers")
endif()
file(WRITE "${OUTPUT}" "${entries}")
