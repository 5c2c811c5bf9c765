# Run by cpack's External generator on the staged files of the Windows build: the MSI installer
# drevanti-VERSION-windows-x86_64.msi from src/platform/windows/drevanti.wxs, with Debian's wixl.
# Two builds of one commit give the same bytes: the codes are derived, not drawn, the files and the
# package are dated SOURCE_DATE_EPOCH (cmake/cpack_source_date.cmake sets it).
foreach(tool wixl msibuild faketime)
  find_program(${tool}_program ${tool})
  if(NOT ${tool}_program)
    message(FATAL_ERROR "The MSI needs ${tool} (Debian packages wixl, msitools and faketime)")
  endif()
endforeach()

set(staged ${CPACK_TEMPORARY_DIRECTORY})
set(version ${CPACK_PACKAGE_VERSION})
set(msi ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)

# The upgrade code names the product for good; every other code is derived from it: the product
# code from the version (a new version is a new product, which upgrades the older), a component's
# from where its key file is installed (the same in every version), and the package code from the
# version and every byte staged (another build of the same version is another package).
set(upgrade_code 0D772113-B24A-4CBE-88D7-78EEC1B08C62)
macro(derived_code variable name)
  string(UUID ${variable} NAMESPACE ${upgrade_code} NAME "${name}" TYPE SHA1 UPPER)
endmacro()
derived_code(product_code "product ${version}")
derived_code(saver_component "System64Folder/drevanti.scr")
derived_code(tool_component "ProgramFiles64Folder/Drevanti/drevanti-solve.exe")
file(GLOB staged_files ${staged}/*)
set(packed "${version}")
foreach(file ${staged_files} ${CPACK_DREVANTI_MSI_ICON} ${CPACK_DREVANTI_MSI_SOURCE})
  file(SHA256 ${file} hash)
  string(APPEND packed " ${hash}")
endforeach()
derived_code(package_code "package ${packed}")

# The cabinet keeps each file's modification time, the package its creation and saving times
# (from the clock, which faketime stops at SOURCE_DATE_EPOCH).
execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${staged_files}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d @$ENV{SOURCE_DATE_EPOCH} "+%Y-%m-%d %H:%M:%S"
  OUTPUT_VARIABLE clock OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
# wixl takes the files' paths relative to the folder it runs in.
file(RELATIVE_PATH icon ${staged} ${CPACK_DREVANTI_MSI_ICON})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${faketime_program} -f "${clock}"
    ${wixl_program} --arch x64 --output ${msi}
    -D Version=${version} -D Manufacturer=${CPACK_PACKAGE_VENDOR}
    -D Summary=${CPACK_PACKAGE_DESCRIPTION_SUMMARY} -D UpgradeCode=${upgrade_code}
    -D ProductCode=${product_code} -D SaverComponent=${saver_component}
    -D ToolComponent=${tool_component} -D Icon=${icon}
    ${CPACK_DREVANTI_MSI_SOURCE}
  WORKING_DIRECTORY ${staged}
  COMMAND_ERROR_IS_FATAL ANY)
# wixl draws a new package code each time: the summary (its subject, author, platform and
# language, and the package code) written anew with the derived code.
execute_process(
  COMMAND ${msibuild_program} ${msi} -s "Drevanti ${version} screen saver" ${CPACK_PACKAGE_VENDOR}
    "x64;1033" "{${package_code}}"
  COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
