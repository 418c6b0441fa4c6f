// What the replies of a data transfer carry: the data connection's
// address in a 227 (PASV) reply and the size a 125 or 150 reply announces.
// Replies come from servers and are untrusted.
#pragma once

#include <cstdint>
#include <string>

// The six numbers of a 227 reply: four address bytes and the port's high
// and low byte. False when the text ends before six numbers or a number
// exceeds 255.
bool ParsePassiveReply(const std::string& reply, uint8_t numbers[6]);
// The size in a 125 or 150 reply ("(1234 bytes)", "(42)", "... 3000 bytes"),
// or -1 when it names none.
int64_t ParseTransferSize(const std::string& reply);
