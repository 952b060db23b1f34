# Writes a UTF-8 text of the repository as Windows's Notepad reads it right on any system:
# a byte-order mark (without one, Notepad before Windows 10 takes the ANSI code page) and CR LF
# line ends (older Notepads show LF-only text as one line).
#   cmake -DINPUT=<UTF-8 text> -DOUTPUT=<file> -P windows_text.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE "${OUTPUT}" "${byte_order_mark}${text}")
