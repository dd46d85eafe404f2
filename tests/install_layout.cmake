# Installs the build into a staging folder, as the Debian package lays it out, and drops share/doc as a
# system with dpkg's path-exclude does: the files the programs read must still be there, and the
# documentation folder must still show the manuals.
# cmake -DBUILD_DIR=... -DSTAGE=... -P install_layout.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE}" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
  RESULT_VARIABLE installed OUTPUT_QUIET ERROR_VARIABLE why)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${why}")
endif()

set(data "${STAGE}/usr/share/orvex")
set(doc "${STAGE}/usr/share/doc/orvex")
foreach(manual Orvex_eng.pdf Orvex_fr.pdf)
  file(REAL_PATH "${doc}/${manual}" shown)
  if(NOT EXISTS "${shown}" OR NOT shown STREQUAL "${data}/${manual}")
    message(FATAL_ERROR "${doc}/${manual} does not lead to ${data}/${manual}")
  endif()
endforeach()

file(REMOVE_RECURSE "${STAGE}/usr/share/doc")
foreach(read Orvex_eng.pdf Orvex_fr.pdf Mode_Unknown.ico Mode_Manual.ico)
  if(NOT EXISTS "${data}/${read}" OR IS_SYMLINK "${data}/${read}")
    message(FATAL_ERROR "${read} is not in ${data} without share/doc")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE}")
