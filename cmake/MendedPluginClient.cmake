# The VST3 is built from a copy of the framework's plug-in client module with one hunk mended (patches/): JUCE
# 7.0.5's VST3 wrapper forgets the host's run loop for every view of the plug-in as soon as one view is removed,
# since a host gives all its views the same run loop. The plug-in's other windows then get no events, repaints,
# timers or messages. The copy is made afresh from the installed framework at every configure; a framework the
# patch does not fit stops the configure rather than building the wrapper unmended.

set (brindlexClientSource ${JUCE_MODULES_DIR}/juce_audio_plugin_client)
set (brindlexClientParent ${CMAKE_CURRENT_BINARY_DIR}/mended-juce)
set (brindlexClientCopy ${brindlexClientParent}/juce_audio_plugin_client)
set (brindlexClientPatch ${CMAKE_CURRENT_LIST_DIR}/patches/vst3-wrapper-shared-run-loop.patch)

# The patch is a unified diff of one hunk, kept with LF line endings: its lines before and after the change are
# found and replaced as a whole. file (READ) drops carriage returns, so the file's own line endings (the framework
# ships this one with CRLF) are put back and checked byte for byte against the original.
file (READ ${brindlexClientPatch} brindlexPatchText)
string (REGEX MATCHALL "\n@@ " brindlexHunkHeaders "${brindlexPatchText}")
list (LENGTH brindlexHunkHeaders brindlexHunkCount)
if (NOT brindlexHunkCount EQUAL 1)
    message (FATAL_ERROR "${brindlexClientPatch} must hold exactly one hunk; it holds ${brindlexHunkCount}.")
endif ()
string (REGEX MATCH "\n\\+\\+\\+ b/([^\n\t]+)" brindlexPatchTarget "${brindlexPatchText}")
set (brindlexPatchedFile ${CMAKE_MATCH_1})
string (REGEX REPLACE "^.*\n@@[^\n]*\n" "\n" brindlexHunk "${brindlexPatchText}")
string (REGEX REPLACE "\n\\+[^\n]*" "" brindlexBefore "${brindlexHunk}")
string (REGEX REPLACE "\n[ -]" "\n" brindlexBefore "${brindlexBefore}")
string (REGEX REPLACE "\n-[^\n]*" "" brindlexAfter "${brindlexHunk}")
string (REGEX REPLACE "\n[ +]" "\n" brindlexAfter "${brindlexAfter}")

set (brindlexOriginalPath ${brindlexClientSource}/${brindlexPatchedFile})
file (READ ${brindlexOriginalPath} brindlexLines)
file (READ ${brindlexOriginalPath} brindlexOriginalHex HEX)
string (REPLACE "\n" "\r\n" brindlexCrlfLines "${brindlexLines}")
string (HEX "${brindlexCrlfLines}" brindlexCrlfHex)
string (HEX "${brindlexLines}" brindlexLfHex)
if (brindlexCrlfHex STREQUAL brindlexOriginalHex)
    set (brindlexLineEnd "\r\n")
elseif (brindlexLfHex STREQUAL brindlexOriginalHex)
    set (brindlexLineEnd "\n")
else ()
    message (FATAL_ERROR "${brindlexOriginalPath} mixes line endings; it cannot be mended byte for byte.")
endif ()

string (FIND "${brindlexLines}" "${brindlexBefore}" brindlexFirst)
string (FIND "${brindlexLines}" "${brindlexBefore}" brindlexLast REVERSE)
if (brindlexFirst EQUAL -1 OR NOT brindlexFirst EQUAL brindlexLast)
    message (FATAL_ERROR "${brindlexOriginalPath} does not hold the lines that ${brindlexClientPatch} mends "
        "exactly once: this framework is not the JUCE 7.0.5 the patch was made for. Check whether its VST3 wrapper "
        "still removes every entry of a shared run loop when one view is removed, then update or drop the patch.")
endif ()
string (REPLACE "${brindlexBefore}" "${brindlexAfter}" brindlexMended "${brindlexLines}")
string (REPLACE "\n" "${brindlexLineEnd}" brindlexMended "${brindlexMended}")

get_filename_component (brindlexPatchedName ${brindlexPatchedFile} NAME)
file (COPY ${brindlexClientSource} DESTINATION ${brindlexClientParent} PATTERN ${brindlexPatchedName} EXCLUDE)

# Written only when it differs, so that a configure alone does not rebuild the VST3.
set (brindlexMendedPath ${brindlexClientCopy}/${brindlexPatchedFile})
string (HEX "${brindlexMended}" brindlexMendedHex)
set (brindlexCurrentHex "")
if (EXISTS ${brindlexMendedPath})
    file (READ ${brindlexMendedPath} brindlexCurrentHex HEX)
endif ()
if (NOT brindlexCurrentHex STREQUAL brindlexMendedHex)
    file (WRITE ${brindlexMendedPath} "${brindlexMended}")
endif ()
set_property (DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${brindlexClientPatch} ${brindlexOriginalPath})

# The VST3 target compiles the copy's sources, and finds the copy's headers before the framework's: the wrapper
# includes the module's header by its module path and its own headers by relative paths, which must be one file.
get_target_property (brindlexVst3ClientSources juce_audio_plugin_client_VST3 INTERFACE_SOURCES)
set (brindlexCopiedSources "")
foreach (source IN LISTS brindlexVst3ClientSources)
    get_filename_component (sourceFolder ${source} DIRECTORY)
    get_filename_component (sourceName ${source} NAME)
    if (NOT sourceFolder STREQUAL brindlexClientSource)
        message (FATAL_ERROR "The framework's juce_audio_plugin_client_VST3 target compiles ${source}, outside "
            "${brindlexClientSource}; the copy cannot stand in for it.")
    endif ()
    list (APPEND brindlexCopiedSources ${brindlexClientCopy}/${sourceName})
endforeach ()
if (NOT ${brindlexClientCopy}/juce_audio_plugin_client_VST3.cpp IN_LIST brindlexCopiedSources)
    message (FATAL_ERROR "The framework's juce_audio_plugin_client_VST3 target does not compile "
        "juce_audio_plugin_client_VST3.cpp; the mended wrapper would not be built.")
endif ()
set_property (TARGET juce_audio_plugin_client_VST3 PROPERTY INTERFACE_SOURCES ${brindlexCopiedSources})
target_include_directories (Brindlex_VST3 BEFORE PRIVATE ${brindlexClientParent})
