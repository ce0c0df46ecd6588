# cmake -DIN=file -DOUT=file -P crlf.cmake
# Writes IN to OUT with CR LF line ends, whatever line ends IN has, so that
# a checkout's line-end setting never reaches the product.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
