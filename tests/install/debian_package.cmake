# cmake -DBUILD_DIR=... -DOUT=... -DHAS_GUI=0|1 -P debian_package.cmake: makes the Debian package of
# the build with cpack and checks what a user's apt relies on: the control fields, the library
# dependencies dpkg-shlibdeps found, and the files under /usr.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND cpack -G DEB -B ${OUT} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs ${OUT}/glyphmill_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${OUT}, found: ${debs}")
endif()

function(field name out)
  execute_process(COMMAND dpkg-deb -f ${debs} ${name} OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
function(expect_in haystack needle what)
  string(FIND "${haystack}" "${needle}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${what} lacks \"${needle}\":\n${haystack}")
  endif()
endfunction()

field(Package package)
field(Version version)
field(Depends depends)
expect_in("${package}" "glyphmill" "Package")
expect_in("${version}" "4.1" "Version")
# Found by dpkg-shlibdeps from the programs and the exporters.
foreach(library libc6 libstdc++6 libfreetype6 libfontconfig1 libharfbuzz0b libdeflate0)
  expect_in("${depends}" "${library}" "Depends")
endforeach()
if(HAS_GUI)
  expect_in("${depends}" "libqt6widgets6" "Depends")
  expect_in("${depends}" "qt6-qpa-plugins" "Depends")
endif()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing)
foreach(path ./usr/bin/glyphmill-cli ./usr/lib/glyphmill/plugins/png_image.so ./usr/include/glyphmill/plugin.h
             ./usr/share/pkgconfig/glyphmill-plugin.pc ./usr/share/applications/org.example.Glyphmill.desktop
             ./usr/share/man/man1/glyphmill-cli.1 ./usr/share/doc/glyphmill/copyright)
  expect_in("${listing}" "${path}" "The package")
endforeach()
