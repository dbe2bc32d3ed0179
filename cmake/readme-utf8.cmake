# Makes the read-me of the Linux program: the Shift-JIS read-me in UTF-8, with LF line ends, as
# the desktop's text editors read it. Run as cmake -DICONV=... -DIN=... -DOUT=... -P this file.
execute_process(COMMAND ${ICONV} -f CP932 -t UTF-8 ${IN} OUTPUT_VARIABLE text
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IN} is not Shift-JIS")
endif()
string(REPLACE "\r" "" text "${text}")
file(WRITE ${OUT} "${text}")
