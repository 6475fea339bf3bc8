// Stands in for a game that crashes: it runs for a moment, then reads through a null pointer. No debugger
// and no error box are offered, so the process ends with the access violation's code as Windows ends any
// program without a handler of its own.
#include <windows.h>

namespace {

LONG WINAPI endWithTheExceptionCode(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(endWithTheExceptionCode);
    Sleep(300);
    volatile int* nowhere = nullptr;
    return *nowhere;
}
