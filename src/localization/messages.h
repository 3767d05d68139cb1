#pragma once

// The text of message `id`, in one of eight rotating 512-byte buffers: it
// stays valid for eight further calls. A missing message gives "".
const char* GetMsg(unsigned id);
