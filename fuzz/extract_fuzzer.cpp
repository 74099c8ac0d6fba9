// One to four C sources cut from one input, extracted as one input argument
// through a reader with a small buffer and again with a large one: the
// output must not depend on where the buffer ends.
#include <string>
#include <vector>

#include "extract.h"
#include "fuzz_support.h"

namespace {

const size_t max_sources = 4;

std::string source_name(size_t i) {
    return scratch_file("src" + std::to_string(i) + ".c");
}

std::string extract(size_t reader_capacity) {
    FILE* out = std::tmpfile();
    std::string pattern = scratch_file("src?.c");
    protoglean::extract_argument(pattern.data(), out, reader_capacity);
    std::string text = read_back(out);
    std::fclose(out);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> sources = cut_input(data, size, max_sources);
    for (size_t i = 0; i < max_sources; ++i) {
        if (i < sources.size())
            write_file(source_name(i), sources[i]);
        else
            std::remove(source_name(i).c_str());
    }
    require(
        extract(2 * protoglean::LINE_SIZE) == extract(protoglean::SourceReader::default_capacity),
        "the output does not depend on the reader's buffer size");
    return 0;
}
