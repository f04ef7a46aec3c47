// On Windows the system headers define macros with the names of some of this layer's operations
// and constants (PostMessage, TextOut, RGB, NM_CLICK...), which would rename them in whichever file
// sees the macros. A file that read those headers before this layer's gets the names back here. In
// a file that reads them afterwards, the constants still mean the same (their values are the
// system's own) and calls of the operations arrive under the system's spellings (PostMessageA or
// PostMessageW), which the interfaces take too (ORVAN_WND_SYSTEM_SPELLINGS). No include guard: the
// window layer's own Win32 files read this again after the system headers.

#ifdef _WIN32
#undef RGB
#undef PostMessage
#undef MessageBox
#undef TextOut
#undef CreateFontIndirect
#undef MK_LBUTTON
#undef MK_RBUTTON
#undef MK_CONTROL
#undef SIZE_RESTORED
#undef NM_CLICK
#undef NM_DBLCLK
#undef NM_RETURN
#undef NM_RCLICK
#undef LVN_ITEMCHANGED
#undef LVN_COLUMNCLICK
#undef LVN_KEYDOWN
#endif

#ifndef ORVAN_WND_SYSTEM_SPELLINGS
#ifdef _WIN32
// Non-virtual forwarders under the system's narrow and wide spellings of an operation's name.
#define ORVAN_WND_SYSTEM_SPELLINGS(result, name, parameters, arguments) \
    result name##A parameters {                                         \
        return name arguments;                                          \
    }                                                                   \
    result name##W parameters {                                         \
        return name arguments;                                          \
    }
#else
#define ORVAN_WND_SYSTEM_SPELLINGS(result, name, parameters, arguments)
#endif
#endif
