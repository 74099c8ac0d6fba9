// One to four C sources cut from one input, extracted as one input argument
// with the line scan that reads every piece, through a reader with a large
// buffer and again with a small one, and with the bulk line scan through a
// large and a small buffer: the output must not depend on where the buffer
// ends, nor on the scan, nor on the width of the block scan's vectors.
#include <string>
#include <vector>

#include "extract.h"
#include "fuzz_support.h"
#include "plain_lines.h"

namespace {

using protoglean::LineScan;

const size_t max_sources = 4;
const size_t large = protoglean::SourceReader::default_capacity;
const size_t small = 2 * protoglean::LINE_SIZE;

std::string source_name(size_t i) {
    return scratch_file("src" + std::to_string(i) + ".c");
}

std::string extract(size_t reader_capacity, LineScan scan) {
    FILE* out = std::tmpfile();
    std::string pattern = scratch_file("src?.c");
    protoglean::Output output(out);
    protoglean::extract_argument(pattern.data(), output, reader_capacity, scan);
    require(output.finish(), "the output is written");
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
    // The block scan passes over the same lines with the processor's
    // widest vector instructions and with the build's baseline.
    const char* text = reinterpret_cast<const char*>(data);
    for (size_t piece : {protoglean::LINE_SIZE - 1, 3 * protoglean::BLOCK_SIZE})
        require(protoglean::skip_plain_lines(text, size, piece, protoglean::Lanes::widest) ==
                    protoglean::skip_plain_lines(text, size, piece, protoglean::Lanes::baseline),
                "both widths of the block scan stop at the same line");
    std::string by_piece = extract(large, LineScan::by_piece);
    require(extract(small, LineScan::by_piece) == by_piece,
            "the output does not depend on the reader's buffer size");
    require(extract(large, LineScan::bulk) == by_piece,
            "the bulk line scan writes what the piece-by-piece one writes");
    // The small buffer ends at other places within the blocks of the bulk
    // scan as the input grows.
    require(extract(small + size % protoglean::BLOCK_SIZE, LineScan::bulk) == by_piece,
            "the bulk line scan writes the same through a small buffer");
    return 0;
}
