# Reads package/packages.txt into the caller's lists: prefixes (one per
# package) and oems (each OEM once).
macro(mrl_read_packages)
  file(STRINGS ${CMAKE_SOURCE_DIR}/package/packages.txt package_lines REGEX "^[a-z]")
  set(prefixes)
  set(oems)
  foreach(line ${package_lines})
    string(REGEX MATCH "^([a-z0-9]+) +([a-z0-9]+)" _ "${line}")
    list(APPEND prefixes ${CMAKE_MATCH_1})
    list(APPEND oems ${CMAKE_MATCH_2})
  endforeach()
  list(REMOVE_DUPLICATES oems)
endmacro()
