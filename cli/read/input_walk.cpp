// Expanding directories (and on Windows wildcards) into the files to count.
#include "cli/read/input_walk.h"

#include "cli/system_io.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace quenbol::cli {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// On Windows a name goes to and comes from the system in wide characters,
// converted as every other name the counter hands it (system_io.h).
#ifdef _WIN32
fs::path PathOf(const std::string& utf8) { return fs::path(Utf8ToWide(utf8)); }
std::string Utf8Of(const fs::path& path) { return WideToUtf8(path.c_str()); }
#else
fs::path PathOf(const std::string& utf8) { return fs::path(utf8); }
#endif

std::string Join(const std::string& dir, const std::string& name) {
    const bool hasSeparator = !dir.empty() && (dir.back() == '/' || dir.back() == kSeparator);
    return hasSeparator ? dir + name : dir + kSeparator + name;
}

// Every regular file below `root`, sorted by path.
#ifdef _WIN32
std::vector<InputFile> WalkDirectory(const std::string& root) {
    std::vector<InputFile> found;
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string dir = pending.back();
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator it(PathOf(dir), ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const std::string child = Join(dir, Utf8Of(it->path().filename()));
            // The entry's own type comes with the listing; only a link costs a
            // look at what it points to.
            std::error_code typeError;
            if (it->is_symlink(typeError)) {
                const fs::file_status target = fs::status(it->path(), typeError);
                if (fs::is_regular_file(target) || !fs::exists(target)) found.push_back({child, {}});
            } else if (it->is_directory(typeError)) {
                pending.push_back(child);
            } else if (it->is_regular_file(typeError)) {
                found.push_back({child, {}});
            }
        }
        if (ec) found.push_back({dir, "cannot list directory: " + ec.message()});
    }
    std::sort(found.begin(), found.end(),
              [](const InputFile& a, const InputFile& b) { return a.path < b.path; });
    return found;
}

#else
// The listing's own entry types (d_type) tell files from directories without
// a status call per entry, which counts over thousands of small texts; only a
// link, or a file system that leaves the type unknown, costs one.
std::vector<InputFile> WalkDirectory(const std::string& root) {
    std::vector<InputFile> found;
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string dir = std::move(pending.back());
        pending.pop_back();
        DIR* listing = opendir(dir.c_str());
        int failure = listing ? 0 : errno;
        while (listing) {
            errno = 0;
            const dirent* entry = readdir(listing);
            if (!entry) {
                failure = errno;
                break;
            }
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string child = Join(dir, std::string(name));
            unsigned char type = entry->d_type;
            struct stat info;
            if (type == DT_UNKNOWN && lstat(child.c_str(), &info) == 0) {
                type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
            }
            if (type == DT_LNK) {
                // A link to a file is counted, a link to a directory is not
                // followed; a broken or looping link is listed and fails when read.
                if (stat(child.c_str(), &info) != 0 || S_ISREG(info.st_mode)) found.push_back({std::move(child), {}});
            } else if (type == DT_DIR) {
                pending.push_back(std::move(child));
            } else if (type == DT_REG) {
                found.push_back({std::move(child), {}});
            }
        }
        if (listing) closedir(listing);
        if (failure) found.push_back({dir, "cannot list directory: " + std::error_code(failure, std::generic_category()).message()});
    }
    // Every path begins with `root`: what follows it decides the order.
    const std::size_t shared = root.size();
    std::sort(found.begin(), found.end(), [shared](const InputFile& a, const InputFile& b) {
        return std::string_view(a.path).substr(shared) < std::string_view(b.path).substr(shared);
    });
    return found;
}
#endif

#ifdef _WIN32
bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The names that match a wildcard in the last part of the path, sorted; the
// name itself when nothing matches, as Windows programs keep it.
std::vector<std::string> ExpandWildcard(const std::string& pattern) {
    const std::size_t cut = pattern.find_last_of("\\/:");
    const std::string dir = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
    const std::string mask = pattern.substr(dir.size());
    std::vector<std::string> matches;
    if (mask.find_first_of("*?") == std::string::npos) return {pattern};
    std::error_code ec;
    fs::directory_iterator it(PathOf(dir.empty() ? "." : dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = Utf8Of(it->path().filename());
        if (WildcardMatches(mask, name)) matches.push_back(dir + name);
    }
    std::sort(matches.begin(), matches.end());
    if (matches.empty()) matches.push_back(pattern);
    return matches;
}
#endif

}  // namespace

InputList ExpandInputs(const std::vector<std::string>& named, bool recursive) {
    InputList list;
    for (const std::string& name : named) {
        std::vector<std::string> names{name};
#ifdef _WIN32
        if (HasWildcard(name)) names = ExpandWildcard(name);
#endif
        for (const std::string& path : names) {
            std::error_code ec;
            if (path == "-" || !fs::is_directory(PathOf(path), ec)) {
                list.files.push_back({path, {}});
            } else if (!recursive) {
                list.usageError = "'" + path + "' is a directory (use -r to count the files in it)";
                return list;
            } else {
                std::vector<InputFile> below = WalkDirectory(path);
                list.files.insert(list.files.end(), std::make_move_iterator(below.begin()),
                                  std::make_move_iterator(below.end()));
            }
        }
    }
    return list;
}

bool WildcardMatches(std::string_view mask, std::string_view name) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // The length of the UTF-8 character at `at`, so that '?' takes a whole one.
    const auto charLength = [&name](std::size_t at) {
        std::size_t n = 1;
        while (at + n < name.size() && (static_cast<unsigned char>(name[at + n]) & 0xC0) == 0x80) ++n;
        return n;
    };
    std::size_t m = 0, n = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += charLength(n);
        } else if (m < mask.size() && fold(mask[m]) == fold(name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;  // let the last star take one more character
            starName += charLength(starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

FileList ParseFileList(std::string_view bytes, const char* standardInputHolds) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    FileList list;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\0') != std::string_view::npos) {
            list.usageError = "line " + std::to_string(number) +
                              " holds a NUL byte: the list takes one path a line (not find's -print0)";
            return list;
        }
        if (line == "-" && standardInputHolds) {
            list.usageError = "line " + std::to_string(number) + ": '-' names standard input, which holds " +
                              standardInputHolds;
            return list;
        }
        if (!line.empty()) list.paths.emplace_back(line);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return list;
}

}  // namespace quenbol::cli
