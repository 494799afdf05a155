// Diagnostic trace of the framework's entry points.
//
// Every entry of interest calls TraceCall with its own name, its source line, a
// printf format and the values. Nothing is printed unless the environment variable
// VIRLEX_TRACE is set to a non-empty value other than "0" when the first trace call
// happens; then every trace line goes to stderr as
//   virlex: <function>:<line>: <formatted values>
#pragma once

#if defined(__GNUC__)
#define VIRLEX_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VIRLEX_PRINTF_LIKE(fmt, args)
#endif

bool TraceEnabled();
void TraceCall(const char* function, int line, const char* format, ...) VIRLEX_PRINTF_LIKE(3, 4);

#define TRACE_CALL(function, ...) TraceCall(function, __LINE__, __VA_ARGS__)
