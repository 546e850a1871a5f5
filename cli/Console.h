#pragma once
// Lines to standard output and standard error. Program text goes out as UTF-8
// on Linux; on Windows as UTF-16 to a console window and in the ANSI code page
// to a file or pipe, as reg.exe does.
#include <string>
#include <vector>

#include "text/Text.h"

namespace pw::cli {

class Console {
public:
    virtual ~Console() = default;
    // Each adds a line break; "\r\n" inside the text becomes one line break,
    // and any other control character is shown as \xHH.
    virtual void Out(TextView line);
    virtual void Err(TextView line);
    // Bytes as they are (JSON, which is ASCII; CLI11's help and errors).
    virtual void OutBytes(const std::string& bytes);
    virtual void ErrBytes(const std::string& bytes);
    // A file's bytes to standard output, unchanged (on Windows in binary mode).
    virtual void OutFile(const std::string& bytes);
    // Whether anything written to standard output so far was lost (a full
    // disk, a closed pipe): the output flushed, then asked.
    bool OutFailed();

    // For --json's error object (RunCli): what went to standard error, as it
    // was shown, and whether a command printed a JSON object of its own.
    std::string errorsShown;
    bool printedJson = false;

private:
    bool outLost_ = false;  // a line written past the C library failed
};

// What a command on another server printed, kept until its server is done, so
// that servers worked on at the same time do not mix their lines.
class Transcript final : public Console {
public:
    struct Entry {
        bool error = false;
        bool bytes = false;  // given as bytes (JSON), not as a line
        Text text;           // a line; bytes as UTF-8 read back
    };
    void Out(TextView line) override { entries.push_back({false, false, Text(line)}); }
    void Err(TextView line) override { entries.push_back({true, false, Text(line)}); }
    void OutBytes(const std::string& bytes) override { entries.push_back({false, true, FromUtf8(bytes)}); }
    void ErrBytes(const std::string& bytes) override { entries.push_back({true, true, FromUtf8(bytes)}); }
    void OutFile(const std::string& bytes) override { OutBytes(bytes); }

    std::vector<Entry> entries;
};

}  // namespace pw::cli
