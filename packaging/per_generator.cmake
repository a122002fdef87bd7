# Read by cpack once for each generator, with CPACK_GENERATOR set.
if(CPACK_GENERATOR STREQUAL "ZIP")
    # The zip unpacks into one folder named like itself; the installer puts
    # the same files straight into the folder the user chooses.
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
