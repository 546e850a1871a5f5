// CleanLine: no NUL, tab or outer space is left, nothing else is lost or
// reordered, the copy matches the text cleaned in place, and a second pass
// changes nothing.
#include "tests/fuzz/FuzzInput.h"
#include "text/LineCleaner.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Text original = fuzz::ConsumeText(input, 4096);
    Text text = original;
    const Text copy = CleanLine(text);
    PW_FUZZ_CHECK(copy == text);
    PW_FUZZ_CHECK(text.find_first_of(Text(u"\t\0", 2)) == Text::npos);
    PW_FUZZ_CHECK(text.empty() || (text.front() != u' ' && text.back() != u' '));

    // The original without NUL and tab holds the result at its first
    // non-space character, with only spaces around it.
    Text kept;
    for (char16_t c : original)
        if (c != u'\0' && c != u'\t') kept.push_back(c);
    const auto start = kept.find_first_not_of(u' ');
    PW_FUZZ_CHECK(kept.compare(start == Text::npos ? kept.size() : start, text.size(), text) == 0);
    PW_FUZZ_CHECK(kept.find_first_not_of(u' ', (start == Text::npos ? kept.size() : start) + text.size()) ==
                  Text::npos);

    Text again = text;
    PW_FUZZ_CHECK(CleanLine(again) == text);
    return 0;
}
