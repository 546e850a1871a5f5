#pragma once
// Marks a place where Wine's advapi32 is known to answer differently from
// Windows: prints a line and records a test property, so that the branch
// taken for Wine shows in the output and in the XML report.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace pw::test {

inline void NoteKnownWineDifference(const std::string& what, const char* file, int line) {
    std::printf("[ KNOWN WINE DIFFERENCE ] %s (%s:%d)\n", what.c_str(), file, line);
    ::testing::Test::RecordProperty("known_wine_difference", what);
}

}  // namespace pw::test

#define KNOWN_WINE_DIFFERENCE(what) ::pw::test::NoteKnownWineDifference((what), __FILE__, __LINE__)
