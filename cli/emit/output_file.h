// A file quenbol-count makes (the --html report), written the way the window
// program saves a keyword file: a regular file, new or old, gets its content in
// a new file beside it, created exclusively under an unpredictable short name
// and never through a link, which takes its place only once complete, with
// the old file's permissions; a failure leaves the old file as it was and no
// new file behind. A symbolic link is written through (the link stays a link
// and the file it leads to is replaced). "-" is standard output, and what is
// not a regular file (a device, a FIFO, /dev/stdout) is written directly.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quenbol::cli {

class OutputFile {
public:
    // The new file's name in the target's folder, for one try of several:
    // random unless a test gives its own.
    using NameSource = std::function<std::string()>;

    explicit OutputFile(NameSource names = {});
    // A file not finished is abandoned: its new file removed, the target untouched.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Each returns false on a failure, which reason() then tells; after one
    // the file is abandoned and further calls fail.
    bool Open(const std::string& path);  // a UTF-8 path, or "-"
    bool Write(std::string_view bytes);
    bool Finish();  // the content in place

    const std::string& reason() const { return reason_; }

private:
    bool Fail(int error);
    void Abandon();

    NameSource names_;
    int fd_ = -1;
    bool ownsFd_ = false;
    std::string target_;     // the name the new file takes, a link's end
    std::string temporary_;  // the new file beside it, while it exists
    struct Replacing;        // Windows: the new file beside the target, saved as the keyword file is
    std::unique_ptr<Replacing> replacing_;
    std::string reason_;
};

}  // namespace quenbol::cli
