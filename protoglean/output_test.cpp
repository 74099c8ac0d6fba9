#include "output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

using protoglean::Output;

TEST(Output, WritesEveryPieceInOrderWhateverItsSize) {
    // Pieces that fit the buffer, fill it exactly, overflow it and outgrow
    // it, after an empty buffer and after a part-filled one.
    const size_t capacity = Output::capacity;
    const std::vector<size_t> sizes = {
        1, capacity - 1, 1, capacity, 2, 2 * capacity + 5, capacity, 3, 0, capacity + 1, 7};
    std::string all;
    for (size_t i = 0; i < sizes.size(); ++i)
        all += std::string(sizes[i], static_cast<char>('a' + i));
    for (bool buffered : {true, false}) {
        FILE* stream = tmpfile();
        ASSERT_NE(stream, nullptr);
        Output out(stream, buffered);
        size_t at = 0;
        for (size_t size : sizes) {
            if (size == 1)
                out.put(all[at]);
            else
                out.write(all.data() + at, size);
            at += size;
        }
        EXPECT_TRUE(out.finish());
        EXPECT_EQ(read_back(stream), all) << "buffered " << buffered;
        fclose(stream);
    }
}
