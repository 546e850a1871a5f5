#pragma once
// Lines to standard output and standard error. Program text goes out as UTF-8
// on Linux; on Windows as UTF-16 to a console window and in the ANSI code page
// to a file or pipe, as reg.exe does.
#include <string>

#include "text/Text.h"

namespace pw::cli {

class Console {
public:
    // Each adds a line break; "\r\n" inside the text becomes one line break,
    // and any other control character is shown as \xHH.
    void Out(TextView line);
    void Err(TextView line);
    // Bytes as they are (JSON, which is ASCII; CLI11's help and errors).
    void OutBytes(const std::string& bytes);
    void ErrBytes(const std::string& bytes);
    // Whether anything written to standard output so far was lost (a full
    // disk, a closed pipe): the output flushed, then asked.
    bool OutFailed();
};

}  // namespace pw::cli
