# The installer's optional component that associates .dsk and .flp with
# VOLKARN (associations.nsh.in). CPack has no place for a section of our own
# nor for a call from .onInit, so cpack gets a copy of its own NSIS template
# with the two lines added, through CPACK_MODULE_PATH.
#
# The texts of the ProgID and its verbs are the ones VOLKARN /R writes, read
# from the string table by the ids the registration uses.

set(vk_strings_dir ${PROJECT_SOURCE_DIR}/src/engine/strings)
file(READ ${vk_strings_dir}/string_ids.h vk_string_ids)
file(READ ${vk_strings_dir}/strings.inc vk_string_table)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vk_strings_dir}/string_ids.h
             ${vk_strings_dir}/strings.inc)

# Sets `out` to the text of the string named `id_name` in string_ids.h.
function(vk_association_text out id_name)
    if(NOT vk_string_ids MATCHES "${id_name} = ([0-9]+)")
        message(FATAL_ERROR "nsis_associations: ${id_name} is not in string_ids.h")
    endif()
    if(NOT vk_string_table MATCHES "VK_STRING\\(${CMAKE_MATCH_1}, \"([^\"]*)\"\\)")
        message(FATAL_ERROR "nsis_associations: string ${CMAKE_MATCH_1} (${id_name}) is not in strings.inc")
    endif()
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

vk_association_text(VK_PROGID_DESCRIPTION kStrProgIdDescription)
vk_association_text(VK_OPEN_VERB_TEXT kStrVerbOpen)
vk_association_text(VK_WRITE_VERB_TEXT kStrVerbWriteToDisk)
# The installation's own key (the template's Software\vendor\registry key).
set(VK_INSTALL_KEY "Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(vk_associations_nsh ${CMAKE_CURRENT_BINARY_DIR}/associations.nsh)
configure_file(${CMAKE_CURRENT_LIST_DIR}/associations.nsh.in ${vk_associations_nsh} @ONLY)

# Replaces `anchor` in the template text by `replacement`; the anchor must
# stand there exactly once, or another CMake's template needs a look first.
function(vk_patch_template anchor replacement)
    string(FIND "${vk_template}" "${anchor}" first)
    string(FIND "${vk_template}" "${anchor}" last REVERSE)
    if(first EQUAL -1 OR NOT first EQUAL last)
        string(REPLACE "\n" "\\n" shown "${anchor}")
        message(FATAL_ERROR "nsis_associations: \"${shown}\" does not stand exactly once in ${vk_template_in};"
                            " the installer's association component cannot be added to this CMake's template")
    endif()
    string(REPLACE "${anchor}" "${replacement}" patched "${vk_template}")
    set(vk_template "${patched}" PARENT_SCOPE)
endfunction()

set(vk_template_in ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in)
if(NOT EXISTS ${vk_template_in})
    message(FATAL_ERROR "nsis_associations: CPack's NSIS template ${vk_template_in} is missing")
endif()
file(READ ${vk_template_in} vk_template)
# The sections and functions come before the uninstaller's section, so that
# the uninstaller gives the file types back before it removes the
# installation's key, which holds what to give back.
vk_patch_template("\nSection \"Uninstall\"\n"
                  "\n!include \"${vk_associations_nsh}\"\n\nSection \"Uninstall\"\n")
# .onInit ends once the context (all users or one) is chosen: the earlier
# choice is read from there.
vk_patch_template("\n  noOptionsPage:\nFunctionEnd\n" "\n  noOptionsPage:\n  Call VkAssociationsOnInit\nFunctionEnd\n")
set(vk_template_dir ${CMAKE_CURRENT_BINARY_DIR}/nsis-template)
file(WRITE ${vk_template_dir}/NSIS.template.in "${vk_template}")
set(CPACK_MODULE_PATH ${vk_template_dir})
