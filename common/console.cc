#include "console.h"

#include <cstring>
#include <stdio_ext.h>
#include <termios.h>
#include <unistd.h>

char Ans[AnsSize];

int Gets(std::span<char> buffer, std::FILE* stream)
{
    if (buffer.size() < 2)
        return -1;
    if (std::fgets(buffer.data(), static_cast<int>(buffer.size()), stream) == nullptr)
        return -1;
    size_t length = std::strlen(buffer.data());
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n'))
        buffer[--length] = '\0';
    return static_cast<int>(length);
}

namespace {

// Keys typed while the program worked must not satisfy the pause. Only a
// terminal's input is dropped: piped answers are the script's next answers,
// and dropping them would make a scripted run depend on timing.
void discardPendingInput()
{
    if (isatty(STDIN_FILENO) == 0)
        return;
    __fpurge(stdin);
    tcflush(STDIN_FILENO, TCIFLUSH);
}

void pauseWith(const char* prompt, const char* after)
{
    discardPendingInput();
    std::fflush(stdout);
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    char reply[2];
    Gets(reply, stdin);
    std::fputs(after, stdout);
    std::fflush(stdout);
}

} // namespace

void Pause()
{
    pauseWith("\n\nPress <cr> to continue ...  ", "\n\n");
}

void myPause()
{
    pauseWith("\nPress <cr> to continue ...  ", "\n");
}
