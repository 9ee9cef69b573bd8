# The runtime operations as nNOTES.dll exports them: name, ordinal, and the
# bytes of arguments that decorate the 32-bit __stdcall name (nnInit@8).
set(NN_OPERATIONS
  nnInit 15 8
  nnProcessArgs 51 16
  nnProgramStart 25 20
  nnProgramEnd 52 8
  nnTerm 13 0
  nnInitErrorText 29 12
  nnMainErrorText 27 12
  nnQueryLocalStats 428 24
  nnQueryServerStats 2176 20
  nnLock 182 4
  nnUnlock 183 4
  nnFree 143 4
  nnTextToTime 223 20
  nnTimeDiff 308 8
  nnLoadStatusText 707 16)

# Writes a module-definition file for nNOTES.dll. IMPORT: every operation by
# ordinal only, for the tool's import library. EXPORT: by ordinal and by its
# plain name, for building the stand-in DLL.
function(nn_write_def path kind)
  set(text "LIBRARY nNOTES.dll\nEXPORTS\n")
  set(operations ${NN_OPERATIONS})
  while(operations)
    list(POP_FRONT operations name ordinal bytes)
    set(symbol ${name})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(symbol ${name}@${bytes})
    endif()
    if(kind STREQUAL "IMPORT")
      string(APPEND text "  ${symbol} @${ordinal} NONAME\n")
    else()
      string(APPEND text "  ${name} = ${symbol} @${ordinal}\n")
    endif()
  endwhile()
  file(WRITE ${path} "${text}")
endfunction()
