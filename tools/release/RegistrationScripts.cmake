# Scripts generated from the stand-ins' .reg fragments, so the dev kit registers
# exactly what the build's own stand-ins.reg does, but from wherever it was unpacked.

# .reg string data to plain text: \\ is a backslash, \" a quote.
function(_tp_reg_unescape text out)
  string(REPLACE "\\\\" "<BACKSLASH>" text "${text}")
  string(REPLACE "\\\"" "\"" text "${text}")
  string(REPLACE "<BACKSLASH>" "\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Plain text to one quoted argument of reg.exe: quotes become \" and the
# backslashes before a quote or the end are doubled (the C runtime's rules).
function(_tp_reg_argument text out)
  string(REGEX REPLACE "(\\\\+)\"" "\\1\\1\"" text "${text}")
  string(REGEX REPLACE "(\\\\+)$" "\\1\\1" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# register.cmd and unregister.cmd from the fragments. The fragments' @BIN_WIN@
# becomes the folder of the scripts. view: 32 or 64, the registry view the
# stand-ins of this architecture belong in.
function(tp_write_registration_scripts fragments view register_cmd unregister_cmd)
  set(adds "")
  set(removals "")
  set(checks "")
  set(owned_keys)
  foreach(fragment IN LISTS fragments)
    file(READ ${fragment} text)
    if(text MATCHES "!")
      message(FATAL_ERROR "${fragment}: '!' cannot pass through the registration script")
    endif()
    string(REPLACE "%" "%%" text "${text}")
    set(BIN_WIN "!KIT!")
    string(CONFIGURE "${text}" text @ONLY)
    string(REPLACE ";" "<SEMICOLON>" text "${text}")
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(key "")
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      if(line STREQUAL "" OR line MATCHES "^<SEMICOLON>")
        continue()
      elseif(line MATCHES "^\\[(HKEY_[A-Z_]+)\\\\(.+)\\]$")
        set(hive ${CMAKE_MATCH_1})
        set(path "${CMAKE_MATCH_2}")
        string(REPLACE "HKEY_CLASSES_ROOT" "HKCR" hive ${hive})
        string(REPLACE "HKEY_LOCAL_MACHINE" "HKLM" hive ${hive})
        string(REPLACE "HKEY_CURRENT_USER" "HKCU" hive ${hive})
        set(key "${hive}\\${path}")
        # Keys below a class, interface or type-library id belong to the stand-in as a whole.
        if(key MATCHES "^(.*\\\\{[0-9A-Fa-f-]+})")
          list(APPEND owned_keys "${CMAKE_MATCH_1}")
        endif()
        continue()
      elseif(line MATCHES "^@=(.*)$")
        set(name_switch "/ve")
        set(data "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^\"([^\"]+)\"=(.*)$")
        _tp_reg_argument("${CMAKE_MATCH_1}" quoted_name)
        set(name_switch "/v ${quoted_name}")
        set(data "${CMAKE_MATCH_2}")
      else()
        message(FATAL_ERROR "${fragment}: cannot read the line '${line}'")
      endif()
      if(key STREQUAL "")
        message(FATAL_ERROR "${fragment}: a value before any key")
      endif()
      if(data MATCHES "^\"(.*)\"$")
        _tp_reg_unescape("${CMAKE_MATCH_1}" plain)
        string(REPLACE "<SEMICOLON>" ";" plain "${plain}")
        _tp_reg_argument("${plain}" quoted_data)
        set(type_data "/t REG_SZ /d ${quoted_data}")
      elseif(data MATCHES "^dword:([0-9a-fA-F]+)$")
        set(type_data "/t REG_DWORD /d 0x${CMAKE_MATCH_1}")
      else()
        message(FATAL_ERROR "${fragment}: only strings and dwords are supported ('${line}')")
      endif()
      # errorlevel rather than ||, which Wine's cmd runs after a redirected success too.
      string(APPEND adds "reg add \"${key}\" ${name_switch} ${type_data} /f /reg:${view} >nul\r\n"
                         "if errorlevel 1 set failed=1\r\n")
      if(NOT key MATCHES "\\\\{[0-9A-Fa-f-]+}")
        # A value in a key others share: only the value goes.
        string(APPEND removals "reg delete \"${key}\" ${name_switch} /f /reg:${view} >nul 2>&1\r\n")
        string(APPEND checks "reg query \"${key}\" ${name_switch} /reg:${view} >nul 2>&1\r\n"
                             "if not errorlevel 1 set failed=1\r\n")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES owned_keys)
  foreach(key IN LISTS owned_keys)
    string(APPEND removals "reg delete \"${key}\" /f /reg:${view} >nul 2>&1\r\n")
    string(APPEND checks "reg query \"${key}\" /reg:${view} >nul 2>&1\r\n"
                         "if not errorlevel 1 set failed=1\r\n")
  endforeach()

  # %~dp0 is taken before delayed expansion is on, so no character of the
  # folder's name is lost; !KIT! is then expanded after cmd has parsed each line.
  set(prologue "set \"KIT=%~dp0\"\r\nset \"KIT=%KIT:~0,-1%\"\r\nsetlocal EnableDelayedExpansion\r\nset failed=0\r\n")
  file(WRITE ${register_cmd}.tmp
    "@echo off\r\n"
    "rem Registers the stand-ins of this kit from this folder (${view}-bit registry view).\r\n"
    "rem Writes to HKEY_LOCAL_MACHINE: run it as an administrator.\r\n"
    "${prologue}"
    "${adds}"
    "if !failed! neq 0 (\r\n"
    "  echo Registering the stand-ins failed: run this script as an administrator. 1>&2\r\n"
    "  exit /b 1\r\n"
    ")\r\n"
    "echo Registered the stand-ins in !KIT!\r\n"
    "exit /b 0\r\n")
  file(WRITE ${unregister_cmd}.tmp
    "@echo off\r\n"
    "rem Removes what register.cmd wrote (${view}-bit registry view); values in\r\n"
    "rem keys that other programs share are removed one by one.\r\n"
    "${prologue}"
    "${removals}"
    "${checks}"
    "if !failed! neq 0 (\r\n"
    "  echo Some registrations are still there: run this script as an administrator. 1>&2\r\n"
    "  exit /b 1\r\n"
    ")\r\n"
    "echo Removed the stand-ins' registrations.\r\n"
    "exit /b 0\r\n")
  file(COPY_FILE ${register_cmd}.tmp ${register_cmd} ONLY_IF_DIFFERENT)
  file(COPY_FILE ${unregister_cmd}.tmp ${unregister_cmd} ONLY_IF_DIFFERENT)
endfunction()

# NSIS macros InstallProductFiles and UninstallProductFiles for the files of a
# package's list ("source|path in the package"), taken from its staged folder.
function(tp_write_installer_file_list output stage)
  set(install "!macro InstallProductFiles\n")
  set(uninstall "!macro UninstallProductFiles\n")
  set(current_folder "<none>")
  set(subfolders)
  foreach(entry IN LISTS ARGN)
    string(REGEX REPLACE "^.*\\|" "" path "${entry}")
    get_filename_component(folder "${path}" DIRECTORY)
    string(REPLACE "/" "\\" windows_path "${path}")
    if(NOT folder STREQUAL current_folder)
      set(current_folder "${folder}")
      if(folder STREQUAL "")
        string(APPEND install "  SetOutPath \"$INSTDIR\"\n")
      else()
        string(REPLACE "/" "\\" windows_folder "${folder}")
        string(APPEND install "  SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
        list(APPEND subfolders "${windows_folder}")
      endif()
    endif()
    string(APPEND install "  File \"${stage}/${path}\"\n")
    string(APPEND uninstall "  Delete /REBOOTOK \"$INSTDIR\\${windows_path}\"\n")
  endforeach()
  list(REMOVE_DUPLICATES subfolders)
  list(SORT subfolders ORDER DESCENDING)  # deeper folders first
  foreach(folder IN LISTS subfolders)
    string(APPEND uninstall "  RMDir \"$INSTDIR\\${folder}\"\n")
  endforeach()
  string(APPEND install "!macroend\n")
  string(APPEND uninstall "!macroend\n")
  file(WRITE ${output}.tmp "; Generated from the product package's file list.\n${install}\n${uninstall}")
  file(COPY_FILE ${output}.tmp ${output} ONLY_IF_DIFFERENT)
endfunction()
