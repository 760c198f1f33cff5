#include "ask.h"

#include "console.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Called when Ans filled up before a line feed came. Returns whether the
// line went on; if so its rest is read and dropped, so that it is never
// taken as the next answer.
bool lineWentOn()
{
    int ch = std::getchar();
    if (ch == '\r') // a CR LF ending just past the buffer
        ch = std::getchar();
    if (ch == EOF || ch == '\n')
        return false;
    while (ch != EOF && ch != '\n')
        ch = std::getchar();
    return true;
}

} // namespace

int Ask(std::string_view prompt, int maxLength, bool echoLineFeed, std::string_view hint)
{
    for (;;) {
        std::fwrite(prompt.data(), 1, prompt.size(), stdout);
        std::fflush(stdout);

        bool tooLong = false;
        if (std::fgets(Ans, AnsSize, stdin) == nullptr) {
            Ans[0] = '\0';
        } else {
            size_t length = std::strlen(Ans);
            bool lineEnded = length > 0 && Ans[length - 1] == '\n';
            if (!lineEnded && length == AnsSize - 1)
                tooLong = lineWentOn();
            while (length > 0 && (Ans[length - 1] == '\r' || Ans[length - 1] == '\n'))
                Ans[--length] = '\0';
            tooLong = tooLong || length > static_cast<size_t>(maxLength);
        }
        if (echoLineFeed)
            std::fputs("\n", stdout);
        if (!tooLong)
            return static_cast<int>(std::strlen(Ans));

        Ans[0] = '\0';
        std::printf("\nError, that answer is longer than %d characters; please enter a shorter one.\n",
                    maxLength);
        if (!hint.empty())
            std::fwrite(hint.data(), 1, hint.size(), stdout);
        std::fflush(stdout);
    }
}

void copyAnswer(std::span<char> dest)
{
    if (dest.empty())
        return;
    size_t length = std::min(std::strlen(Ans), dest.size() - 1);
    std::memcpy(dest.data(), Ans, length);
    dest[length] = '\0';
}
