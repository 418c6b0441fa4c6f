// The code of an FTP reply: the value of its first three characters when
// all three are decimal digits (0 to 999), otherwise -1.
#pragma once

int GetReplyCode(const char* reply);
