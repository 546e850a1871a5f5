#pragma once
// What the file system allows this user to do with the store's files, in
// words a person can act on.
#include <string>

namespace pw::sqlitestore {

// Empty when this user may write the store file and create files beside it;
// otherwise why not, e.g. "its folder /x cannot be written (Permission denied)".
std::string WhyNotWritable(const std::string& databasePath);

// True when the store's write-ahead log exists and is not empty: it may hold
// commits that the database file itself does not have yet.
bool LogHoldsCommits(const std::string& databasePath);

}  // namespace pw::sqlitestore
