// Test helper: a LineSource over a file of the current directory that holds
// the given bytes; the file is closed with it.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "line_source.h"
#include "test_scratch.h"

class FileSource {
  public:
    explicit FileSource(const std::string& bytes) {
        write_file("in.xml", bytes);
        source_->file = std::fopen("in.xml", "rb");
    }
    ~FileSource() {
        if (source_->file)
            std::fclose(source_->file);
    }
    LineSource& operator*() { return *source_; }

  private:
    std::unique_ptr<LineSource> source_ = std::make_unique<LineSource>();
};
