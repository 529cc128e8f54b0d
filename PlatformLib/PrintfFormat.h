#pragma once
// Lets the compiler check printf-style calls by the rules of the printf that formats them.
// mingw-w64 formats with its own C99 printf (__USE_MINGW_ANSI_STDIO, which libstdc++ turns
// on), so the checks there are GNU's: its "printf" rules would be those of Microsoft's C
// runtime, which knows no %zu.
#ifdef __MINGW32__
#define QEL_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#else
#define QEL_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#endif
