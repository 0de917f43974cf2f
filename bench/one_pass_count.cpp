// one_pass_count FILE...: the one-pass-per-keyword counter as a whole
// program, for timing beside quenbol-count. Reads each file as code page 932
// with the built-in table and the initial manual words, and prints one line
// per file: the 21 member counts, then the manual count.
#include <cstdio>
#include <string>

#include "bench/one_pass_baseline.h"

int main(int argc, char** argv) {
    using namespace quenbol;
    Keywords table;
    LoadDefaultKeywords(table);
    const ManualWordList manual = InitialManualWords();
    std::string text, out;
    for (int a = 1; a < argc; ++a) {
        std::FILE* file = std::fopen(argv[a], "rb");
        if (!file) {
            std::fprintf(stderr, "one_pass_count: cannot open %s\n", argv[a]);
            return 2;
        }
        std::fseek(file, 0, SEEK_END);
        text.resize(static_cast<std::size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
        const baseline::Result r = baseline::SearchAll(text, table, manual);
        for (std::int64_t n : r.members) out += std::to_string(n) + ' ';
        out += std::to_string(r.manual) + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
