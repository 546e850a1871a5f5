#pragma once
// What the file system allows this user to do with the store's files, in
// words a person can act on.
#include <cstdint>
#include <string>

namespace pw::sqlitestore {

// Empty when this user may write the store file and create files beside it;
// otherwise why not, e.g. "its folder /x cannot be written (Permission denied)".
std::string WhyNotWritable(const std::string& databasePath);

// True when the store's write-ahead log exists and is not empty: it may hold
// commits that the database file itself does not have yet.
bool LogHoldsCommits(const std::string& databasePath);

// When the store file or its log last changed, as a FILETIME (100 ns ticks
// since 1601); the present time when neither can be asked.
std::int64_t StoreFileTime(const std::string& databasePath);

}  // namespace pw::sqlitestore
