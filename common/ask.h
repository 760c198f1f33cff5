// Asking a question: the prompt convention every dialogue follows.
#pragma once

#include <span>
#include <string_view>

// Prints the prompt, flushes it, and reads the answer into Ans. When
// echoLineFeed is set, one line feed is printed after the answer.
//
// End of input counts as an empty answer (Ans is emptied, so an earlier
// answer is never taken again). An answer longer than maxLength characters
// is refused with a one-line message naming the limit (followed by hint,
// when one is given); the rest of its line is discarded and the question is
// asked again. Returns the length of the accepted answer, 0 when empty.
int Ask(std::string_view prompt, int maxLength, bool echoLineFeed = true,
        std::string_view hint = {});

// Copies the answer in Ans into dest, cut to dest.size()-1 characters (Ask's
// length limit keeps an accepted answer from being cut).
void copyAnswer(std::span<char> dest);
