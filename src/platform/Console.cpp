#include "platform/Console.h"

#include <QtGlobal>
#include <atomic>
#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zo {
namespace {

std::atomic_bool g_interrupted{false};

#ifdef Q_OS_WIN
BOOL WINAPI onConsoleControl(DWORD)
{
    g_interrupted = true;
    return TRUE;
}
#else
extern "C" void onSignal(int)
{
    g_interrupted = true;
}
#endif

} // namespace

void installInterruptHandler()
{
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool interruptRequested()
{
    return g_interrupted;
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace zo
