#include <windows.h>

#include "platform/path_text.h"

namespace {

// Built before WinMain so that every path walk knows the code page's lead
// bytes. A failing GetCPInfo leaves MultiByte 0: single-byte behaviour.
struct LeadByteTableBuilder {
    LeadByteTableBuilder() {
        CPINFO info;
        LeadByteTable.MultiByte = (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1) ? 1 : 0;
        for (int i = 0; i < 256; ++i) {
            LeadByteTable.LeadByte[i] = IsDBCSLeadByte(static_cast<BYTE>(i)) ? 1 : 0;
        }
    }
} leadByteTableBuilder;

}  // namespace
