#include "extract.h"

#include <gtest/gtest.h>

#include <string>

#include "plain_lines.h"
#include "test_support.h"

using protoglean::extract_source;
using protoglean::extract_source_by_piece;
using protoglean::ExtractState;
using protoglean::LineScan;
using protoglean::Output;
using protoglean::scan_declaration;
using protoglean::SourceReader;
using protoglean::StopKind;

namespace {

struct Scan {
    std::string text;
    StopKind stop;
    std::string rest;  // what the reader holds after the scan
    size_t nesting;
};

Scan scan(const std::string& bytes, size_t nesting = 0, size_t size = 1000) {
    ScratchDir scratch;
    SourceReader reader(scratch.open_source(bytes));
    std::string buffer(size, '?');
    Scan result;
    result.stop = scan_declaration(reader, nesting, &buffer[0], size);
    result.text = buffer.c_str();
    for (int c = reader.get(); c != EOF; c = reader.get())
        result.rest += static_cast<char>(c);
    result.nesting = nesting;
    return result;
}

std::string extract(const std::string& bytes, size_t capacity = SourceReader::default_capacity,
                    LineScan scan = LineScan::bulk) {
    ScratchDir scratch;
    SourceReader reader(scratch.open_source(bytes), capacity);
    FILE* out = tmpfile();
    EXPECT_NE(out, nullptr);
    ExtractState state;
    Output output(out);
    if (scan == LineScan::bulk)
        extract_source(reader, output, state);
    else
        extract_source_by_piece(reader, output, state);
    EXPECT_TRUE(output.finish());
    std::string text = read_back(out);
    fclose(out);
    return text;
}

}  // namespace

TEST(ScanDeclaration, StopsAndConsumesOneCharacterMore) {
    struct Row {
        std::string bytes;
        size_t nesting_before;
        std::string text;
        StopKind stop;
        std::string rest;
        size_t nesting_after;
    };
    const Row rows[] = {
        {"int f(int a) {ab", 0, "int f(int a) ", StopKind::prototype, "b", 0},
        {"int n = 3;\n", 0, "int n ", StopKind::external, "3;\n", 0},
        {"int x;\n_v", 0, "int x", StopKind::external, "_v", 0},
        {"int f(int a = 1);x", 0, "int f(int a = 1)", StopKind::external, "", 0},
        {"int g(;x", 0, "int g(", StopKind::external, "", 1},
        {"int g(x {", 0, "int g(x ", StopKind::prototype, "", 1},
        {"x = 1, y);", 1, "x = 1, y)", StopKind::external, "", 0},
        {"a)) = 2;", 0, "a)) ", StopKind::external, "2;", 0},
        // Only the first dimension goes; nested brackets go with it, later
        // dimensions and attributes stay, and nothing in brackets stops.
        {"int a[b[1]] ;", 0, "int a[] ", StopKind::external, "", 0},
        {"int t[10][2]\n= {", 0, "int t[][2]\n", StopKind::external, "{", 0},
        {"int m(int v[3] \t\n[4][N+1]) {", 0, "int m(int v[] \t\n[4][N+1]) ", StopKind::prototype,
         "", 0},
        {"int a[2] b[3];", 0, "int a[] b[]", StopKind::external, "", 0},
        {"int v[f(x) = 2; {] = 1;", 0, "int v[] ", StopKind::external, "1;", 0},
        {"int w[2][(a = 1]) = 1;", 0, "int w[][(a = 1]) ", StopKind::external, "1;", 0},
        // So does a parameter's pair that begins with "static" or a type
        // qualifier: it says what the definition says.
        {"int f(int v[static 1], int m[const 2][3], int w[ \n restrict ]) {", 0,
         "int f(int v[static 1], int m[const 2][3], int w[ \n restrict ]) ", StopKind::prototype,
         "", 0},
        {"int g(int a[volatile], int b[static_size], int c[ constant]) {", 0,
         "int g(int a[volatile], int b[], int c[]) ", StopKind::prototype, "", 0},
        {"[[nodiscard]] int f(void) {", 0, "[[nodiscard]] int f(void) ", StopKind::prototype, "",
         0},
        {"[[gnu::aligned(8), deprecated(\"[;]\")]] int x;", 0,
         "[[gnu::aligned(8), deprecated(\"[;]\")]] int x", StopKind::external, "", 0},
        {std::string("int x\0;", 7), 0, "int x", StopKind::none, ";", 0},
        {std::string("int a[3\0] = 1;", 14), 0, "int a[]] ", StopKind::external, "1;", 0},
        {"int a[3", 0, "int a[]", StopKind::none, "", 0},
        {"int x", 0, "int x", StopKind::none, "", 0},
        {";", 0, "", StopKind::external, "", 0},
    };
    for (const Row& row : rows) {
        Scan result = scan(row.bytes, row.nesting_before);
        EXPECT_EQ(result.text, row.text) << row.bytes;
        EXPECT_EQ(result.stop, row.stop) << row.bytes;
        EXPECT_EQ(result.rest, row.rest) << row.bytes;
        EXPECT_EQ(result.nesting, row.nesting_after) << row.bytes;
    }
}

TEST(ScanDeclaration, DropsWhatDoesNotFitButScansOnToTheStop) {
    Scan result = scan(std::string(2000, 'a') + "; rest");
    EXPECT_EQ(result.text, std::string(999, 'a'));
    EXPECT_EQ(result.stop, StopKind::external);
    EXPECT_EQ(result.rest, "rest");

    result = scan(std::string(998, 'a') + "[5] b;");
    EXPECT_EQ(result.text, std::string(998, 'a') + "[");
    EXPECT_EQ(result.stop, StopKind::external);
}

TEST(ExtractSource, RemovesOnlyTrailingBlanksEvenWhenNothingElseIsLeft) {
    EXPECT_EQ(extract("_f int f(void)  \t \n{\n"), "int f(void)  \t \n;\n");
    // The marker line is cut at 199 characters; the blanks after the cut
    // are the whole declaration.
    EXPECT_EQ(extract("_f" + std::string(300, ' ') + ";\n"), "extern ;\n");
}

TEST(ExtractSource, PutsLeadingAttributesBeforeExtern) {
    EXPECT_EQ(extract("_v [[maybe_unused]] int x = 1;\n"), "[[maybe_unused]] extern int x;\n");
    EXPECT_EQ(extract("_v [[a]] [[deprecated(\"see [1]\")]]\nint y[2][3];\n"),
              "[[a]] [[deprecated(\"see [1]\")]]\nextern int y[][3];\n");
    EXPECT_EQ(extract("_v int [[a]] z;\n_f [[nodiscard]] int f(void) {\n"),
              "extern int [[a]] z;\n[[nodiscard]] int f(void);\n");
    // An attribute cut off at 999 characters is no attribute.
    std::string cut = "[[" + std::string(997, 'a');
    EXPECT_EQ(extract("_v " + cut + "aa]] int x;\n"), "extern " + cut + ";\n");
}

TEST(ExtractSource, FindsMarkersAfterAnyBlanksAndWherePiecesOfLongLinesStart) {
    EXPECT_EQ(extract(" \t\v\f\r_v int a;\n"), "extern int a;\n");
    // A line of 199 blanks and more is read in pieces of 199 characters;
    // the marker counts when it starts a piece after blanks only.
    EXPECT_EQ(extract(std::string(199, ' ') + "_v int b;\n"), "extern int b;\n");
    EXPECT_EQ(extract(std::string(250, ' ') + "_v int c;\n"), "extern int c;\n");
    EXPECT_EQ(extract(std::string(197, 'x') + "  _v int d;\n"), "extern int d;\n");
    EXPECT_EQ(extract(std::string(196, 'x') + "  _v int d;\n"), "");
    EXPECT_EQ(extract(std::string(197, 'x') + "_v int e;\n"), "");
    // Blanks up to the end of a file without a final LF.
    EXPECT_EQ(extract("   "), "");
}

TEST(ExtractSource, CopiesLongLinesWholeThroughASmallBuffer) {
    // CR LF ends and lone CRs fall on every buffer boundary as the capacity
    // grows; the last line ends the file without an LF.
    std::string source = "_copy\r\n", copied;
    for (size_t length : {199, 200, 401, 5000}) {
        std::string line(length, 'a');
        for (size_t i = 2; i < length; i += 3)
            line[i] = '\r';
        line[length / 2] = '\0';
        source += line + (length < 5000 ? "\r\n" : "");
        copied += line + "\n";
    }
    for (size_t capacity = 400; capacity < 420; ++capacity)
        EXPECT_EQ(extract(source, capacity), copied) << "capacity " << capacity;
}

TEST(ExtractSource, ReadsInBulkWhatItReadsPieceByPieceWhereverTheBufferEnds) {
    // Markers at the starts of a long line's pieces and near them, blank
    // runs before markers, copied long lines and CR LF ends: as the
    // capacity grows, the buffer ends in each of them and at every place of
    // the bulk scan's blocks.
    std::string source;
    for (size_t length : {196, 197, 198, 199, 200, 201, 202, 397, 398}) {
        std::string name = std::to_string(length);
        source += std::string(length, 'a') + "_v int v" + name + ";\n";
        source += std::string(length - 130, ' ') + "_f int f" + name + "(void) {\r\n";
    }
    source += std::string(199, 'a') + "_f \n" + "int g(void);\n";
    source += "_copy\r\n" + std::string(300, 'c') + "\r\n_uncopy\r\n_v int last;";
    const std::string expected =
        extract(source, SourceReader::default_capacity, LineScan::by_piece);
    EXPECT_NE(expected.find("extern int v199;\nint f199(void);\n"), std::string::npos);
    EXPECT_NE(expected.find("extern int v398;\nint f398(void);\nextern \nint g(void);\n"),
              std::string::npos);
    for (size_t capacity = 400; capacity < 400 + 2 * protoglean::BLOCK_SIZE; ++capacity)
        EXPECT_EQ(extract(source, capacity), expected) << "capacity " << capacity;
    EXPECT_EQ(extract(source), expected);
}
