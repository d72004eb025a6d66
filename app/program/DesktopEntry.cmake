# orvik_write_desktop_entry(TEMPLATE OUT PROGRAM ID): the desktop entry with
# Exec naming PROGRAM (no field codes: the program reads no arguments). Used at
# configure time for the build tree and at install time for the installed copy.
function(orvik_write_desktop_entry template out program id)
  set(exec "${program}")
  if(exec MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    # Quoted, with " ` $ \ escaped, then every backslash doubled for the file.
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  set(ORVIK_DESKTOP_EXEC "${exec}")
  set(ORVIK_DESKTOP_ID "${id}")
  configure_file("${template}" "${out}" @ONLY)
endfunction()
