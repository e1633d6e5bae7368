#pragma once

// The speed a client set on a terminal, read through termios2 so that
// non-standard rates such as 8192 baud come back as they were set. Kept in a
// file of its own because <asm/termbits.h> cannot be mixed with <termios.h>.

// The output speed in baud, or 0 when it cannot be read.
unsigned terminalSpeed(int fd);
// Sets both speeds of the terminal to `baud` (tests use it to play the client).
bool setTerminalSpeed(int fd, unsigned baud);
